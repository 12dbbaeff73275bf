// A small known scene saved as an enhanced metafile and read back record by record with the
// metafile library's own structures: the object table is followed through every create, select
// and delete, so each drawing record is checked together with the pen, brush, font, text colour
// and background mode in force when a viewer plays it.

#include "render/drawsurface.h"
#include "render/emfsurface.h"
#include "render/pictureexport.h"
#include "render/picturerecorder.h"
#include "render/viewpicture.h"

#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <uemf.h>

#include <array>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace rvk {
namespace {

struct Colour
{
    int r = 0, g = 0, b = 0;
    bool operator==(const Colour &) const = default;
};

Colour colourOf(const U_COLORREF &c) { return {c.Red, c.Green, c.Blue}; }

std::ostream &operator<<(std::ostream &os, const Colour &c) { return os << "(" << c.r << ", " << c.g << ", " << c.b << ")"; }

struct Pen
{
    std::uint32_t style = U_PS_SOLID;
    int width = 1;
    Colour colour;
};

struct Brush
{
    std::uint32_t style = U_BS_SOLID;
    std::uint32_t hatch = 0;
    Colour colour;
    std::array<std::uint8_t, 8> rowsBottomUp{}; // pattern brushes: the first byte of each row
    Colour ink, background;                     // pattern brushes: colour table entries 0 and 1
};

struct Font
{
    int height = 0;
    int escapement = 0;
    int weight = 0;
    std::string face;
};

// One drawing record with the state a player has when it meets the record.
struct Drawn
{
    std::uint32_t type = 0;
    std::vector<int> points; // the record's coordinates in order
    Pen pen;
    bool nullPen = false;
    Brush brush;
    Font font;
    Colour textColour;
    std::uint32_t backgroundMode = 0;
    Colour backgroundColour;
    // Device context settings, starting at a player's defaults.
    std::uint32_t arcDirection = U_AD_COUNTERCLOCKWISE;
    std::uint32_t textAlign = U_TA_TOP | U_TA_LEFT;
    std::uint32_t mapMode = U_MM_TEXT;
    std::string text;
};

template <typename T> T at(const std::string &bytes, size_t offset)
{
    T value;
    std::memcpy(&value, bytes.data() + offset, sizeof(T));
    return value;
}

std::string ascii(const std::uint16_t *units, size_t n)
{
    std::string text;
    for (size_t i = 0; i < n && units[i] != 0; ++i)
        text += static_cast<char>(units[i]);
    return text;
}

std::vector<Drawn> playRecords(const std::string &bytes)
{
    struct Object
    {
        int kind = 0; // 1 pen, 2 brush, 3 font
        Pen pen;
        Brush brush;
        Font font;
    };
    std::map<std::uint32_t, Object> objects;
    Drawn state;
    std::vector<Drawn> drawn;
    size_t offset = 0;
    while (offset + 8 <= bytes.size()) {
        const auto emr = at<U_EMR>(bytes, offset);
        if (emr.nSize < 8 || offset + emr.nSize > bytes.size())
            break;
        const std::string record = bytes.substr(offset, emr.nSize);
        switch (emr.iType) {
        case U_EMR_CREATEPEN: {
            const auto r = at<U_EMRCREATEPEN>(record, 0);
            Object o;
            o.kind = 1;
            o.pen = {r.lopn.lopnStyle, r.lopn.lopnWidth.x, colourOf(r.lopn.lopnColor)};
            objects[r.ihPen] = o;
            break;
        }
        case U_EMR_CREATEBRUSHINDIRECT: {
            const auto r = at<U_EMRCREATEBRUSHINDIRECT>(record, 0);
            Object o;
            o.kind = 2;
            o.brush.style = r.lb.lbStyle;
            o.brush.hatch = r.lb.lbHatch;
            o.brush.colour = colourOf(r.lb.lbColor);
            objects[r.ihBrush] = o;
            break;
        }
        case U_EMR_CREATEDIBPATTERNBRUSHPT: {
            const auto r = at<U_EMRCREATEDIBPATTERNBRUSHPT>(record, 0);
            const auto header = at<U_BITMAPINFOHEADER>(record, r.offBmi);
            Object o;
            o.kind = 2;
            o.brush.style = U_BS_DIBPATTERNPT;
            EXPECT_EQ(header.biWidth, 8);
            EXPECT_EQ(header.biHeight, 8);
            EXPECT_EQ(header.biBitCount, 1);
            const auto ink = at<U_RGBQUAD>(record, r.offBmi + sizeof(U_BITMAPINFOHEADER));
            const auto background = at<U_RGBQUAD>(record, r.offBmi + sizeof(U_BITMAPINFOHEADER) + 4);
            o.brush.ink = {ink.Red, ink.Green, ink.Blue};
            o.brush.background = {background.Red, background.Green, background.Blue};
            for (size_t row = 0; row < 8; ++row) // rows of one bit per pixel padded to 32 bits
                o.brush.rowsBottomUp[row] = static_cast<std::uint8_t>(record[r.offBits + 4 * row]);
            objects[r.ihBrush] = o;
            break;
        }
        case U_EMR_EXTCREATEFONTINDIRECTW: {
            const auto r = at<U_EMREXTCREATEFONTINDIRECTW>(record, 0);
            Object o;
            o.kind = 3;
            const U_LOGFONT &lf = r.elfw.elfLogFont;
            o.font = {lf.lfHeight, lf.lfEscapement, lf.lfWeight, ascii(lf.lfFaceName, U_LF_FACESIZE)};
            objects[r.ihFont] = o;
            break;
        }
        case U_EMR_SELECTOBJECT: {
            const auto r = at<U_EMRSELECTOBJECT>(record, 0);
            if (r.ihObject == U_NULL_PEN) {
                state.nullPen = true;
            } else if (r.ihObject & U_STOCK_OBJECT) {
                ADD_FAILURE() << "unexpected stock object " << std::hex << r.ihObject;
            } else {
                const auto found = objects.find(r.ihObject);
                if (found == objects.end()) {
                    ADD_FAILURE() << "selects object " << r.ihObject << ", which does not exist";
                    break;
                }
                if (found->second.kind == 1) {
                    state.pen = found->second.pen;
                    state.nullPen = false;
                } else if (found->second.kind == 2) {
                    state.brush = found->second.brush;
                } else {
                    state.font = found->second.font;
                }
            }
            break;
        }
        case U_EMR_DELETEOBJECT: {
            const auto r = at<U_EMRDELETEOBJECT>(record, 0);
            EXPECT_EQ(objects.erase(r.ihObject), 1u) << "deletes object " << r.ihObject << ", which does not exist";
            break;
        }
        case U_EMR_SETTEXTCOLOR:
            state.textColour = colourOf(at<U_EMRSETTEXTCOLOR>(record, 0).crColor);
            break;
        case U_EMR_SETBKCOLOR:
            state.backgroundColour = colourOf(at<U_EMRSETBKCOLOR>(record, 0).crColor);
            break;
        case U_EMR_SETARCDIRECTION:
            state.arcDirection = at<U_EMRSETARCDIRECTION>(record, 0).iArcDirection;
            break;
        case U_EMR_SETTEXTALIGN:
            state.textAlign = at<U_EMRSETTEXTALIGN>(record, 0).iMode;
            break;
        case U_EMR_SETMAPMODE:
            state.mapMode = at<U_EMRSETMAPMODE>(record, 0).iMode;
            break;
        case U_EMR_SETBKMODE:
            state.backgroundMode = at<U_EMRSETBKMODE>(record, 0).iMode;
            break;
        case U_EMR_MOVETOEX:
        case U_EMR_LINETO: {
            const auto r = at<U_EMRLINETO>(record, 0);
            Drawn d = state;
            d.type = emr.iType;
            d.points = {r.ptl.x, r.ptl.y};
            drawn.push_back(d);
            break;
        }
        case U_EMR_RECTANGLE: {
            const auto r = at<U_EMRRECTANGLE>(record, 0);
            Drawn d = state;
            d.type = emr.iType;
            d.points = {r.rclBox.left, r.rclBox.top, r.rclBox.right, r.rclBox.bottom};
            drawn.push_back(d);
            break;
        }
        case U_EMR_PIE:
        case U_EMR_ARC: {
            const auto r = at<U_EMRPIE>(record, 0);
            Drawn d = state;
            d.type = emr.iType;
            d.points = {r.rclBox.left, r.rclBox.top, r.rclBox.right, r.rclBox.bottom,
                        r.ptlStart.x, r.ptlStart.y, r.ptlEnd.x, r.ptlEnd.y};
            drawn.push_back(d);
            break;
        }
        case U_EMR_EXTTEXTOUTW: {
            const auto r = at<U_EMREXTTEXTOUTW>(record, 0);
            Drawn d = state;
            d.type = emr.iType;
            d.points = {r.emrtext.ptlReference.x, r.emrtext.ptlReference.y};
            std::vector<std::uint16_t> units(r.emrtext.nChars);
            std::memcpy(units.data(), record.data() + r.emrtext.offString, 2 * units.size());
            d.text = ascii(units.data(), units.size());
            drawn.push_back(d);
            break;
        }
        default:
            break;
        }
        offset += emr.nSize;
    }
    EXPECT_EQ(offset, bytes.size()) << "records do not fill the file";
    return drawn;
}

constexpr Colour Red{255, 0, 0}, Blue{0, 0, 255}, Black{0, 0, 0}, Green{0, 128, 0}, White{255, 255, 255},
    Yellow{255, 255, 0}, Navy{0, 0, 128};

// The scene, recorded and saved as a metafile the way the picture export saves it.
struct Scene
{
    int legendHeight = 0; // height of "Legend" in Tahoma 8, the offset of the turned text
    std::vector<Drawn> drawn;

    Scene()
    {
        ViewPicture picture(320, 200);
        PictureRecorder s(picture);
        s.setPen({rgb(255, 0, 0), 2, PenSpec::Style::Solid});
        s.moveTo(10, 10);
        s.lineTo(100, 10);
        s.setPen({rgb(0, 0, 255), 1, PenSpec::Style::Dotted});
        s.lineTo(100, 80);
        s.setPen({0, 1, PenSpec::Style::Solid});
        s.setBrush({rgb(0, 128, 0), BrushSpec::Style::Solid, -1});
        s.rectangle(10, 20, 60, 60);
        s.setBrush({rgb(255, 0, 0), BrushSpec::Style::DiagonalRising, -1});
        s.fillRect(110, 20, 150, 60);
        s.setBrush({rgb(0, 0, 255), BrushSpec::Style::Vertical, -1});
        s.rectangle(110, 70, 150, 90);
        s.setFont({"Arial", 9, 0, false});
        s.setBrushPattern(14);
        s.rectangle(160, 20, 200, 60);
        s.setBrushPattern(7);
        s.rectangle(210, 20, 250, 60);
        s.setBrush({rgb(255, 255, 0), BrushSpec::Style::Solid, -1});
        s.pie(10, 100, 60, 150, 60, 125, 35, 100);
        s.setFont({"Arial", 9, rgb(0, 0, 128), true});
        s.textOut(10, 160, "Group 1");
        s.setBrushStyle(BrushSpec::Style::Clear);
        s.setFont({"Tahoma", 8, 0, false});
        legendHeight = s.textHeight("Legend");
        s.textOutRotated(300, 10, "Legend", 270);

        test::TempFolder folder;
        std::string error;
        EXPECT_TRUE(savePictureEmf(picture, folder.file("scene.emf"), error)) << error;
        drawn = playRecords(test::readWholeFile(folder.file("scene.emf")));
        // What the file does before the scene (the initial current point) is not the scene's.
        while (!drawn.empty() && !(drawn.front().type == U_EMR_MOVETOEX && drawn.front().points == std::vector<int>{10, 10}))
            drawn.erase(drawn.begin());
    }
};

TEST(EmfRecords, LinesCarryTheirPens)
{
    const Scene scene;
    ASSERT_GE(scene.drawn.size(), 3u);
    const Drawn &solid = scene.drawn[1];
    EXPECT_EQ(solid.type, static_cast<std::uint32_t>(U_EMR_LINETO));
    EXPECT_EQ(solid.points, (std::vector<int>{100, 10}));
    EXPECT_FALSE(solid.nullPen);
    EXPECT_EQ(solid.pen.style, static_cast<std::uint32_t>(U_PS_SOLID));
    EXPECT_EQ(solid.pen.width, 2);
    EXPECT_EQ(solid.pen.colour, Red);

    const Drawn &dotted = scene.drawn[2];
    EXPECT_EQ(dotted.type, static_cast<std::uint32_t>(U_EMR_LINETO));
    EXPECT_EQ(dotted.points, (std::vector<int>{100, 80}));
    EXPECT_EQ(dotted.pen.style, static_cast<std::uint32_t>(U_PS_DOT));
    EXPECT_EQ(dotted.pen.width, 1);
    EXPECT_EQ(dotted.pen.colour, Blue);
    EXPECT_EQ(dotted.backgroundMode, static_cast<std::uint32_t>(U_TRANSPARENT)); // the gaps show what lies beneath
}

TEST(EmfRecords, FiguresCarryTheirBrushes)
{
    const Scene scene;
    std::vector<Drawn> figures;
    for (const Drawn &d : scene.drawn)
        if (d.type == U_EMR_RECTANGLE || d.type == U_EMR_PIE)
            figures.push_back(d);
    ASSERT_EQ(figures.size(), 6u);

    // Solid green with the black solid pen.
    EXPECT_EQ(figures[0].points, (std::vector<int>{10, 20, 60, 60}));
    EXPECT_EQ(figures[0].pen.style, static_cast<std::uint32_t>(U_PS_SOLID));
    EXPECT_EQ(figures[0].pen.colour, Black);
    EXPECT_FALSE(figures[0].nullPen);
    EXPECT_EQ(figures[0].brush.style, static_cast<std::uint32_t>(U_BS_SOLID));
    EXPECT_EQ(figures[0].brush.colour, Green);

    // fillRect: no pen, so the box grows by the pixel a pen-less rectangle loses.
    EXPECT_EQ(figures[1].points, (std::vector<int>{110, 20, 151, 61}));
    EXPECT_TRUE(figures[1].nullPen);
    EXPECT_EQ(figures[1].brush.style, static_cast<std::uint32_t>(U_BS_HATCHED));
    EXPECT_EQ(figures[1].brush.hatch, static_cast<std::uint32_t>(U_HS_BDIAGONAL)); // rising, "/"
    EXPECT_EQ(figures[1].brush.colour, Red);
    EXPECT_EQ(figures[1].backgroundMode, static_cast<std::uint32_t>(U_TRANSPARENT));

    EXPECT_EQ(figures[2].points, (std::vector<int>{110, 70, 150, 90}));
    EXPECT_FALSE(figures[2].nullPen);
    EXPECT_EQ(figures[2].brush.style, static_cast<std::uint32_t>(U_BS_HATCHED));
    EXPECT_EQ(figures[2].brush.hatch, static_cast<std::uint32_t>(U_HS_VERTICAL));
    EXPECT_EQ(figures[2].brush.colour, Blue);

    // Pattern 14 (two dots): rows 9F 0F 0F 9F F9 F0 F0 F9 from the top, stored bottom up; its
    // 0 bits in the font colour (black), its 1 bits in the brush colour (white).
    EXPECT_EQ(figures[3].points, (std::vector<int>{160, 20, 200, 60}));
    EXPECT_EQ(figures[3].brush.style, static_cast<std::uint32_t>(U_BS_DIBPATTERNPT));
    EXPECT_EQ(figures[3].brush.rowsBottomUp, (std::array<std::uint8_t, 8>{0xF9, 0xF0, 0xF0, 0xF9, 0x9F, 0x0F, 0x0F, 0x9F}));
    EXPECT_EQ(figures[3].brush.ink, Black);
    EXPECT_EQ(figures[3].brush.background, White);

    // Pattern 7 has no pattern: the figure is not filled.
    EXPECT_EQ(figures[4].points, (std::vector<int>{210, 20, 250, 60}));
    EXPECT_EQ(figures[4].brush.style, static_cast<std::uint32_t>(U_BS_NULL));

    EXPECT_EQ(figures[5].type, static_cast<std::uint32_t>(U_EMR_PIE));
    EXPECT_EQ(figures[5].points, (std::vector<int>{10, 100, 60, 150, 60, 125, 35, 100}));
    EXPECT_EQ(figures[5].brush.style, static_cast<std::uint32_t>(U_BS_SOLID));
    EXPECT_EQ(figures[5].brush.colour, Yellow);
    // From the ray through the start point counter-clockwise as seen on the screen, one logical
    // unit per pixel.
    EXPECT_EQ(figures[5].arcDirection, static_cast<std::uint32_t>(U_AD_COUNTERCLOCKWISE));
    EXPECT_EQ(figures[5].mapMode, static_cast<std::uint32_t>(U_MM_TEXT));
}

TEST(EmfRecords, TextsCarryTheirFontColourAndBackground)
{
    const Scene scene;
    std::vector<Drawn> texts;
    for (const Drawn &d : scene.drawn)
        if (d.type == U_EMR_EXTTEXTOUTW)
            texts.push_back(d);
    ASSERT_EQ(texts.size(), 2u);

    // Over a solid brush the text box is filled with the brush colour.
    EXPECT_EQ(texts[0].text, "Group 1");
    EXPECT_EQ(texts[0].points, (std::vector<int>{10, 160}));
    EXPECT_EQ(texts[0].font.face, "Arial");
    EXPECT_EQ(texts[0].font.height, -12); // 9 points at 96 pixels per inch
    EXPECT_EQ(texts[0].font.weight, static_cast<int>(U_FW_BOLD));
    EXPECT_EQ(texts[0].font.escapement, 0);
    EXPECT_EQ(texts[0].textColour, Navy);
    EXPECT_EQ(texts[0].backgroundMode, static_cast<std::uint32_t>(U_OPAQUE));
    EXPECT_EQ(texts[0].backgroundColour, Yellow);
    // The reference point is the top-left corner of the text, and the current point stays.
    EXPECT_EQ(texts[0].textAlign, static_cast<std::uint32_t>(U_TA_TOP | U_TA_LEFT | U_TA_NOUPDATECP));

    // Turned by 270 degrees: its own top-left corner moves right by the text height.
    EXPECT_EQ(texts[1].text, "Legend");
    EXPECT_EQ(texts[1].points, (std::vector<int>{300 + scene.legendHeight, 10}));
    EXPECT_EQ(texts[1].font.face, "Tahoma");
    EXPECT_EQ(texts[1].font.height, -11); // 8 points: round(8 * 96 / 72)
    EXPECT_EQ(texts[1].font.weight, static_cast<int>(U_FW_NORMAL));
    EXPECT_EQ(texts[1].font.escapement, 2700);
    EXPECT_EQ(texts[1].textColour, Black);
    EXPECT_EQ(texts[1].backgroundMode, static_cast<std::uint32_t>(U_TRANSPARENT));
}

} // namespace
} // namespace rvk
