#include "render/wmfsurface.h"

#include "core/safefile.h"
#include "render/viewpicture.h"

#include <uemf.h>
#include <uwmf.h>

#include <QString>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace rvk {

struct WmfSurface::Track
{
    WMFTRACK *track = nullptr;
    WMFHANDLES *handles = nullptr;
};

namespace {

int16_t coordinate(int value) { return static_cast<int16_t>(std::clamp(value, -32768, 32767)); }

U_POINT16 point(int x, int y) { return point16_set(coordinate(x), coordinate(y)); }

U_RECT16 rect(int x1, int y1, int x2, int y2) { return U_RECT16_set(point(x1, y1), point(x2, y2)); }

U_COLORREF colorRef(Rgb color)
{
    return colorref3_set(static_cast<uint8_t>(redOf(color)), static_cast<uint8_t>(greenOf(color)),
                         static_cast<uint8_t>(blueOf(color)));
}

} // namespace

WmfSurface::WmfSurface(const std::string &path, int width, int height)
{
    width = std::clamp(width, 1, 32767);
    height = std::clamp(height, 1, 32767);
    auto *track = new Track;
    wmf_highwater(U_HIGHWATER_CLEAR);
    if (wmf_start(path.c_str(), 1u << 18, 1u << 16, &track->track) != 0 || wmf_htable_create(128, 128, &track->handles) != 0) {
        if (track->track)
            wmf_free(&track->track);
        delete track;
        mError = "Cannot create " + path;
        return;
    }
    mTrack = track;
    // The placeable header: the picture's size in inches at 96 dpi, so one unit is one pixel.
    U_PAIRF *size = U_PAIRF_set(static_cast<float>(width / 96.0), static_cast<float>(height / 96.0));
    char *header = U_WMRHEADER_set(size, 96);
    std::free(size);
    if (!header || wmf_header_append(reinterpret_cast<U_METARECORD *>(header), mTrack->track, U_REC_FREE) != 0)
        mError = "The metafile header could not be written";
    append(U_WMRSETWINDOWORG_set(point(0, 0)));
    append(U_WMRSETWINDOWEXT_set(point(width, height)));
    append(U_WMRSETTEXTALIGN_set(U_TA_TOP | U_TA_LEFT | U_TA_NOUPDATECP));
    append(U_WMRSETPOLYFILLMODE_set(U_WINDING));
    // WMF has no stock objects: the empty pen for fills without outline is made once.
    append(wcreatepenindirect_set(&mNullPen, mTrack->handles, U_PEN_set(U_PS_NULL, 1, colorRef(0))));
    append(U_WMRMOVETO_set(point(0, 0)));
}

WmfSurface::~WmfSurface()
{
    if (mTrack) {
        wmf_free(&mTrack->track);
        wmf_htable_free(&mTrack->handles);
        delete mTrack;
    }
}

bool WmfSurface::store(char *record)
{
    return wmf_append(reinterpret_cast<U_METARECORD *>(record), mTrack->track, U_REC_FREE) == 0;
}

bool WmfSurface::finish(std::string &error)
{
    if (!mTrack) {
        error = mError.empty() ? "The metafile is not open" : mError;
        return false;
    }
    append(U_WMREOF_set());
    const int result = wmf_finish(mTrack->track);
    wmf_free(&mTrack->track);
    wmf_htable_free(&mTrack->handles);
    delete mTrack;
    mTrack = nullptr;
    if (result != 0 && mError.empty())
        mError = "The metafile could not be written";
    error = mError;
    return mError.empty();
}

void WmfSurface::selectNew(std::int64_t &current, std::uint32_t created)
{
    append(wselectobject_set(created, mTrack->handles));
    if (current >= 0) {
        auto old = static_cast<uint32_t>(current);
        append(wdeleteobject_set(&old, mTrack->handles));
    }
    current = created;
}

void WmfSurface::writePen()
{
    uint16_t style = U_PS_SOLID;
    int width = std::max(1, mPen.width);
    if (mPen.style == PenSpec::Style::None)
        style = U_PS_NULL;
    else if (mPen.style == PenSpec::Style::Dotted) {
        style = U_PS_DOT;
        width = 1;
    }
    uint32_t handle = 0;
    if (append(wcreatepenindirect_set(&handle, mTrack->handles, U_PEN_set(style, static_cast<uint16_t>(width), colorRef(mPen.color)))))
        selectNew(mPenHandle, handle);
}

void WmfSurface::writeBrush()
{
    const auto &patterns = HatchPatterns();
    U_WLOGBRUSH brush = U_WLOGBRUSH_set(U_BS_NULL, colorRef(mBrush.color), 0);
    if (mBrush.style == BrushSpec::Style::Pattern) {
        // The pattern's ink; an empty pattern leaves the figure unfilled, as on the other surfaces.
        const bool empty = mBrush.pattern < 0 || mBrush.pattern >= static_cast<int>(patterns.size()) ||
                           patterns[static_cast<size_t>(mBrush.pattern)].empty;
        if (!empty)
            brush = U_WLOGBRUSH_set(U_BS_SOLID, colorRef(mFont.color), 0);
    } else if (mBrush.style == BrushSpec::Style::Solid) {
        brush = U_WLOGBRUSH_set(U_BS_SOLID, colorRef(mBrush.color), 0);
    } else if (isHatch(mBrush.style)) {
        brush = U_WLOGBRUSH_set(U_BS_HATCHED, colorRef(mBrush.color), static_cast<uint16_t>(hatchOf(mBrush.style)));
    }
    uint32_t handle = 0;
    if (append(wcreatebrushindirect_set(&handle, mTrack->handles, brush)))
        selectNew(mBrushHandle, handle);
}

void WmfSurface::writeFont(int angle)
{
    std::string face = QString::fromStdString(mFont.name).left(31).toLatin1().toStdString();
    U_FONT *font = U_FONT_set(static_cast<int16_t>(-fontPixelSize(mFont.size, 96)), 0, static_cast<int16_t>(angle * 10),
                              static_cast<int16_t>(angle * 10), static_cast<int16_t>(mFont.bold ? U_FW_BOLD : U_FW_NORMAL),
                              mFont.italic ? 1 : 0, mFont.underline ? 1 : 0, 0, U_ANSI_CHARSET, 0, 0, 0, 0, face.data());
    uint32_t handle = 0;
    if (font && append(wcreatefontindirect_set(&handle, mTrack->handles, font)))
        selectNew(mFontHandle, handle);
    std::free(font);
}

void WmfSurface::writeTextColor(Rgb color) { append(U_WMRSETTEXTCOLOR_set(colorRef(color))); }

void WmfSurface::writeBackgroundMode(int mode) { append(U_WMRSETBKMODE_set(static_cast<uint16_t>(mode))); }

void WmfSurface::writeBackgroundColor(Rgb color) { append(U_WMRSETBKCOLOR_set(colorRef(color))); }

void WmfSurface::moveTo(int x, int y) { append(U_WMRMOVETO_set(point(x, y))); }

void WmfSurface::lineTo(int x, int y)
{
    realizePen();
    setBackgroundMode(false, mBrush.color);
    append(U_WMRLINETO_set(point(x, y)));
}

void WmfSurface::rectangle(int x1, int y1, int x2, int y2)
{
    if (x2 < x1)
        std::swap(x1, x2);
    if (y2 < y1)
        std::swap(y1, y2);
    if (x2 <= x1 || y2 <= y1)
        return;
    realizePen();
    realizeBrush();
    setBackgroundMode(false, mBrush.color);
    const int grow = mPen.style == PenSpec::Style::None ? 1 : 0;
    append(U_WMRRECTANGLE_set(rect(x1, y1, x2 + grow, y2 + grow)));
}

void WmfSurface::fillRect(int x1, int y1, int x2, int y2)
{
    if (x2 <= x1 || y2 <= y1 || mBrush.style == BrushSpec::Style::Clear || !mTrack)
        return;
    realizePen();
    realizeBrush();
    setBackgroundMode(false, mBrush.color);
    // A rectangle without pen is one pixel smaller on the right and bottom, hence the + 1.
    append(wselectobject_set(mNullPen, mTrack->handles));
    append(U_WMRRECTANGLE_set(rect(x1, y1, x2 + 1, y2 + 1)));
    if (mPenHandle >= 0)
        append(wselectobject_set(static_cast<uint32_t>(mPenHandle), mTrack->handles));
}

void WmfSurface::pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    realizePen();
    realizeBrush();
    setBackgroundMode(false, mBrush.color);
    append(U_WMRPIE_set(point(x3, y3), point(x4, y4), rect(x1, y1, x2, y2)));
}

void WmfSurface::arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    realizePen();
    setBackgroundMode(false, mBrush.color);
    append(U_WMRARC_set(point(x3, y3), point(x4, y4), rect(x1, y1, x2, y2)));
}

void WmfSurface::text(int x, int y, const std::string &text, int angle)
{
    if (text.empty() || !mTrack)
        return;
    angle = normalizedTextAngle(angle);
    const auto &font = mFonts.get(mFont);
    const QString qtext = QString::fromStdString(text);
    const TextCornerOffset offset = rotatedTextOffset(angle, font.metrics.horizontalAdvance(qtext), font.metrics.height());
    realizeFont(angle);
    setBackgroundMode(mBrush.style == BrushSpec::Style::Solid, mBrush.color);
    std::string latin;
    for (const QChar c : qtext)
        latin += c.unicode() < 256 ? static_cast<char>(c.unicode()) : '?';
    std::vector<int16_t> advances;
    for (const QChar c : qtext)
        advances.push_back(static_cast<int16_t>(std::max(0, font.metrics.horizontalAdvance(c))));
    append(U_WMREXTTEXTOUT_set(point(x + offset.dx, y + offset.dy), static_cast<int16_t>(latin.size()), 0, latin.c_str(),
                               advances.data(), U_RCL16_DEF));
}

bool savePictureWmf(const ViewPicture &picture, const std::string &path, std::string &error)
{
    error.clear();
    std::string failure;
    const bool written = writeFileReplacing(
        path,
        [&](const std::string &temporary) {
            WmfSurface surface(temporary, std::max(1, picture.width()), std::max(1, picture.height()));
            picture.replay(surface);
            return surface.finish(error);
        },
        &failure);
    if (!written && error.empty())
        error = failure;
    return written;
}

} // namespace rvk
