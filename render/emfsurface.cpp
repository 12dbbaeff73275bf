#include "render/emfsurface.h"

#include "core/safefile.h"

#include "render/viewpicture.h"

#include <uemf.h>

#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <vector>

namespace rvk {

struct EmfSurface::Track
{
    EMFTRACK *track = nullptr;
    EMFHANDLES *handles = nullptr;
};

namespace {

U_COLORREF colorRef(Rgb color)
{
    return colorref3_set(static_cast<uint8_t>(redOf(color)), static_cast<uint8_t>(greenOf(color)),
                         static_cast<uint8_t>(blueOf(color)));
}

U_RECTL rect(int x1, int y1, int x2, int y2) { return rectl_set(pointl_set(x1, y1), pointl_set(x2, y2)); }

} // namespace

EmfSurface::EmfSurface(const std::string &path, int width, int height)
{
    width = std::max(1, width);
    height = std::max(1, height);
    auto *track = new Track;
    if (emf_start(path.c_str(), 1u << 20, 1u << 18, &track->track) != 0 || emf_htable_create(128, 128, &track->handles) != 0) {
        if (track->track)
            emf_free(&track->track);
        delete track;
        mError = "Cannot create " + path;
        return;
    }
    mTrack = track;
    // Frame in hundredths of a millimetre and the reference device, both at 96 pixels per inch.
    const U_RECTL bounds = rect(0, 0, width - 1, height - 1);
    const U_RECTL frame = rect(0, 0, static_cast<int>(std::lround(width * 2540.0 / 96.0)),
                               static_cast<int>(std::lround(height * 2540.0 / 96.0)));
    const U_SIZEL device = sizel_set(width, height);
    const U_SIZEL millimetres = sizel_set(static_cast<int>(std::lround(width * 25.4 / 96.0)),
                                          static_cast<int>(std::lround(height * 25.4 / 96.0)));
    static const char16_t description[] = u"RVK\0graphical genotype image\0";
    std::vector<uint16_t> desc(std::begin(description), std::end(description));
    append(U_EMRHEADER_set(bounds, frame, nullptr, static_cast<U_CBSTR>(desc.size()), desc.data(), device, millimetres, 0));
    append(U_EMRSETMAPMODE_set(U_MM_TEXT));
    append(U_EMRSETTEXTALIGN_set(U_TA_TOP | U_TA_LEFT | U_TA_NOUPDATECP));
    append(U_EMRSETARCDIRECTION_set(U_AD_COUNTERCLOCKWISE));
    append(U_EMRMOVETOEX_set(pointl_set(0, 0)));
}

EmfSurface::~EmfSurface()
{
    if (mTrack) {
        emf_free(&mTrack->track);
        emf_htable_free(&mTrack->handles);
        delete mTrack;
    }
}

bool EmfSurface::store(char *record)
{
    return emf_append(reinterpret_cast<U_ENHMETARECORD *>(record), mTrack->track, U_REC_FREE) == 0;
}

bool EmfSurface::finish(std::string &error)
{
    if (!mTrack) {
        error = mError.empty() ? "The metafile is not open" : mError;
        return false;
    }
    append(U_EMREOF_set(0, nullptr, mTrack->track));
    const int result = emf_finish(mTrack->track, mTrack->handles);
    emf_free(&mTrack->track);
    emf_htable_free(&mTrack->handles);
    delete mTrack;
    mTrack = nullptr;
    if (result != 0 && mError.empty())
        mError = "The metafile could not be written";
    error = mError;
    return mError.empty();
}

void EmfSurface::selectNew(std::uint32_t &current, std::uint32_t created)
{
    append(selectobject_set(created, mTrack->handles));
    if (current != 0)
        append(deleteobject_set(&current, mTrack->handles));
    current = created;
}

void EmfSurface::writePen()
{
    uint32_t style = U_PS_SOLID;
    int width = std::max(1, mPen.width);
    if (mPen.style == PenSpec::Style::None)
        style = U_PS_NULL;
    else if (mPen.style == PenSpec::Style::Dotted) {
        style = U_PS_DOT;
        width = 1;
    }
    uint32_t handle = 0;
    if (append(createpen_set(&handle, mTrack->handles, logpen_set(style, point32_set(width, 0), colorRef(mPen.color)))))
        selectNew(mPenHandle, handle);
    // The gaps of a dotted line show what lies beneath, as on the other surfaces, not the
    // background colour a text may have left selected.
    if (mPen.style == PenSpec::Style::Dotted)
        setBackgroundMode(false, mBrush.color);
}

void EmfSurface::writeBrush()
{
    uint32_t handle = 0;
    char *record = nullptr;
    const auto &patterns = HatchPatterns();
    const bool validPattern = mBrush.style == BrushSpec::Style::Pattern && mBrush.pattern >= 0 &&
                              mBrush.pattern < static_cast<int>(patterns.size()) &&
                              !patterns[static_cast<size_t>(mBrush.pattern)].empty;
    if (validPattern) {
        // An 8 x 8 one-bit DIB, rows bottom up, each padded to 32 bits: index 0 (the pattern's
        // ink) in the font colour, index 1 in the brush colour.
        U_RGBQUAD colors[2] = {
            rgbquad_set(static_cast<uint8_t>(redOf(mFont.color)), static_cast<uint8_t>(greenOf(mFont.color)),
                        static_cast<uint8_t>(blueOf(mFont.color)), 0),
            rgbquad_set(static_cast<uint8_t>(redOf(mBrush.color)), static_cast<uint8_t>(greenOf(mBrush.color)),
                        static_cast<uint8_t>(blueOf(mBrush.color)), 0)};
        const U_BITMAPINFOHEADER header = bitmapinfoheader_set(8, 8, 1, 1, U_BI_RGB, 32, 3780, 3780, 2, 0);
        PU_BITMAPINFO info = bitmapinfo_set(header, colors);
        char pixels[32] = {};
        const auto &rows = patterns[static_cast<size_t>(mBrush.pattern)].rows;
        for (int r = 0; r < 8; ++r)
            pixels[4 * r] = static_cast<char>(rows[static_cast<size_t>(7 - r)]);
        record = createdibpatternbrushpt_set(&handle, mTrack->handles, U_DIB_RGB_COLORS, info, 32, pixels);
        std::free(info);
    } else if (mBrush.style == BrushSpec::Style::Solid) {
        record = createbrushindirect_set(&handle, mTrack->handles, logbrush_set(U_BS_SOLID, colorRef(mBrush.color), 0));
    } else if (isHatch(mBrush.style)) {
        record = createbrushindirect_set(&handle, mTrack->handles,
                                         logbrush_set(U_BS_HATCHED, colorRef(mBrush.color), static_cast<int32_t>(hatchOf(mBrush.style))));
    } else {
        record = createbrushindirect_set(&handle, mTrack->handles, logbrush_set(U_BS_NULL, colorRef(mBrush.color), 0));
    }
    if (append(record))
        selectNew(mBrushHandle, handle);
    // Hatch lines lie on a transparent background.
    if (isHatch(mBrush.style))
        setBackgroundMode(false, mBrush.color);
}

void EmfSurface::writeFont(int angle)
{
    const QString face = QString::fromStdString(mFont.name).left(U_LF_FACESIZE - 1);
    std::vector<uint16_t> faceName(U_LF_FACESIZE, 0);
    for (int i = 0; i < face.size(); ++i)
        faceName[static_cast<size_t>(i)] = face.at(i).unicode();
    const U_LOGFONT logFont = logfont_set(-fontPixelSize(mFont.size, 96), 0, angle * 10, angle * 10,
                                          mFont.bold ? U_FW_BOLD : U_FW_NORMAL, mFont.italic ? 1 : 0,
                                          mFont.underline ? 1 : 0, 0, U_DEFAULT_CHARSET, 0, 0, 0, 0,
                                          faceName.data());
    uint32_t handle = 0;
    if (append(extcreatefontindirectw_set(&handle, mTrack->handles, reinterpret_cast<const char *>(&logFont), nullptr)))
        selectNew(mFontHandle, handle);
}

void EmfSurface::writeTextColor(Rgb color) { append(U_EMRSETTEXTCOLOR_set(colorRef(color))); }

void EmfSurface::writeBackgroundMode(int mode) { append(U_EMRSETBKMODE_set(static_cast<uint32_t>(mode))); }

void EmfSurface::writeBackgroundColor(Rgb color) { append(U_EMRSETBKCOLOR_set(colorRef(color))); }

void EmfSurface::moveTo(int x, int y) { append(U_EMRMOVETOEX_set(pointl_set(x, y))); }

void EmfSurface::lineTo(int x, int y)
{
    realizePen();
    if (mPen.style == PenSpec::Style::Dotted)
        setBackgroundMode(false, mBrush.color);
    append(U_EMRLINETO_set(pointl_set(x, y)));
}

void EmfSurface::rectangle(int x1, int y1, int x2, int y2)
{
    if (x2 < x1)
        std::swap(x1, x2);
    if (y2 < y1)
        std::swap(y1, y2);
    if (x2 <= x1 || y2 <= y1)
        return;
    realizePen();
    realizeBrush();
    if (isHatch(mBrush.style) || mPen.style == PenSpec::Style::Dotted)
        setBackgroundMode(false, mBrush.color);
    // Without a pen the figure would lose its right column and bottom row; keep the box.
    const int grow = mPen.style == PenSpec::Style::None ? 1 : 0;
    append(U_EMRRECTANGLE_set(rect(x1, y1, x2 + grow, y2 + grow)));
}

void EmfSurface::fillRect(int x1, int y1, int x2, int y2)
{
    if (x2 <= x1 || y2 <= y1 || mBrush.style == BrushSpec::Style::Clear || !mTrack)
        return;
    realizePen();
    realizeBrush();
    if (isHatch(mBrush.style))
        setBackgroundMode(false, mBrush.color);
    // A rectangle without pen is one pixel smaller on the right and bottom, hence the + 1.
    append(U_EMRSELECTOBJECT_set(U_NULL_PEN));
    append(U_EMRRECTANGLE_set(rect(x1, y1, x2 + 1, y2 + 1)));
    append(U_EMRSELECTOBJECT_set(mPenHandle));
}

void EmfSurface::pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    realizePen();
    realizeBrush();
    if (isHatch(mBrush.style) || mPen.style == PenSpec::Style::Dotted)
        setBackgroundMode(false, mBrush.color);
    append(U_EMRPIE_set(rect(x1, y1, x2, y2), pointl_set(x3, y3), pointl_set(x4, y4)));
}

void EmfSurface::arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    realizePen();
    if (mPen.style == PenSpec::Style::Dotted)
        setBackgroundMode(false, mBrush.color);
    append(U_EMRARC_set(rect(x1, y1, x2, y2), pointl_set(x3, y3), pointl_set(x4, y4)));
}

void EmfSurface::text(int x, int y, const std::string &text, int angle)
{
    if (text.empty() || !mTrack)
        return;
    angle = normalizedTextAngle(angle);
    const auto &font = mFonts.get(mFont);
    const QString qtext = QString::fromStdString(text);
    const int w = font.metrics.horizontalAdvance(qtext);
    const int h = font.metrics.height();
    const TextCornerOffset offset = rotatedTextOffset(angle, w, h);
    const int dx = offset.dx;
    const int dy = offset.dy;
    realizeFont(angle);
    setBackgroundMode(mBrush.style == BrushSpec::Style::Solid, mBrush.color);

    std::vector<uint16_t> units(static_cast<size_t>(qtext.size()) + 1, 0);
    std::vector<uint32_t> advances(static_cast<size_t>(qtext.size()), 0);
    for (int i = 0; i < qtext.size(); ++i) {
        units[static_cast<size_t>(i)] = qtext.at(i).unicode();
        advances[static_cast<size_t>(i)] = static_cast<uint32_t>(std::max(0, font.metrics.horizontalAdvance(qtext.at(i))));
    }
    // Bounds of the turned box.
    const double rad = std::numbers::pi / 180.0;
    const double c = std::cos(angle * rad), s = std::sin(angle * rad);
    const double cornersX[4] = {0, w * c, w * c + h * s, h * s};
    const double cornersY[4] = {0, -w * s, -w * s + h * c, h * c};
    const int left = x + dx + static_cast<int>(std::floor(*std::min_element(cornersX, cornersX + 4)));
    const int right = x + dx + static_cast<int>(std::ceil(*std::max_element(cornersX, cornersX + 4)));
    const int top = y + dy + static_cast<int>(std::floor(*std::min_element(cornersY, cornersY + 4)));
    const int bottom = y + dy + static_cast<int>(std::ceil(*std::max_element(cornersY, cornersY + 4)));
    char *emrText = emrtext_set(pointl_set(x + dx, y + dy), static_cast<U_NUM_STR>(qtext.size()), 2, units.data(), 0,
                                rect(0, 0, -1, -1), advances.data());
    if (!emrText) {
        mError = "A text could not be written as a metafile record";
        return;
    }
    append(U_EMREXTTEXTOUTW_set(rect(left, top, right, bottom), U_GM_COMPATIBLE, 1.0f, 1.0f,
                                reinterpret_cast<PU_EMRTEXT>(emrText)));
    std::free(emrText);
}

bool setEmfDeviceSize(const std::string &path, int width, int height, std::string &error)
{
    std::string bytes;
    {
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            error = "Cannot open " + path;
            return false;
        }
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (bytes.size() < 80 || static_cast<unsigned char>(bytes[0]) != U_EMR_HEADER) {
        error = path + " is not an enhanced metafile";
        return false;
    }
    auto putWord = [&](size_t offset, int value) {
        const auto v = static_cast<uint32_t>(value);
        for (int i = 0; i < 4; ++i)
            bytes[offset + static_cast<size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    putWord(72, width);
    putWord(76, height);
    return writeFileReplacing(path, std::string_view(bytes.data(), bytes.size()), &error);
}

} // namespace rvk
