#pragma once
// A small rich-text (RTF) writer and reader for the report window: text in runs that each carry
// a font (family, size, bold, italic, underline) and a colour. It writes what word processors
// such as LibreOffice read, and reads back what it writes plus the common subset of RTF that
// those programs write (font and colour tables, \par, \line, \tab, \'hh, \uN, groups).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rvk {

struct RtfFont
{
    std::string family = "Courier New";
    double pointSize = 10.0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    std::uint32_t color = 0; // R + 256 G + 65536 B

    bool operator==(const RtfFont &other) const = default;
};

struct RtfRun
{
    std::string text; // UTF-8; "\n" ends a paragraph
    RtfFont font;

    bool operator==(const RtfRun &other) const = default;
};

struct RtfDocument
{
    std::vector<RtfRun> runs;

    // The whole text, runs joined.
    std::string plainText() const;
    // Appends text in font, joining it to the last run when the font is the same.
    void append(std::string_view text, const RtfFont &font);
};

class RtfWriter
{
public:
    static std::string write(const RtfDocument &document);
    // A plain text in one font (the report as the ANOVA run leaves it).
    static std::string writePlain(std::string_view text, const RtfFont &font = {});
};

class RtfReader
{
public:
    // The document of an RTF text; a text that is no RTF ("{\rtf" missing) is read as plain
    // text in the default font, so nothing is lost.
    static RtfDocument read(std::string_view rtf);
};

} // namespace rvk
