#include "io/rtfdocument.h"

#include <gtest/gtest.h>

namespace rvk {
namespace {

TEST(RtfDocument, RoundTripKeepsTextAndAppliedFonts)
{
    RtfDocument document;
    const RtfFont report; // Courier New 10
    RtfFont heading = report;
    heading.family = "Arial";
    heading.pointSize = 14;
    heading.bold = true;
    heading.color = 255; // red
    RtfFont note = report;
    note.italic = true;
    note.underline = true;
    note.pointSize = 8.5;
    document.append("ONE WAY {ANOVA}\n", report);
    document.append("BETWEEN \\ 1\t2", heading);
    document.append(" gr\xC3\xBC\xC3\x9F \xE2\x82\xAC \xF0\x9F\x98\x80\n", note);
    document.append("\n", report);

    const std::string rtf = RtfWriter::write(document);
    EXPECT_EQ(rtf.rfind("{\\rtf1\\ansi", 0), 0u);
    EXPECT_NE(rtf.find("\\fs28\\b\\cf1 BETWEEN \\\\ 1\\tab 2"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("{\\colortbl;\\red255\\green0\\blue0;}"), std::string::npos);
    EXPECT_EQ(RtfReader::read(rtf).runs, document.runs);
}

TEST(RtfReader, WhatOtherProgramsWrite)
{
    // In the style of a word processor: font table without inner groups, a style sheet and an
    // optional destination to skip, \'hh bytes, \u with its replacement character, \line.
    const std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl\\f0\\fswiss Arial;\\f1\\fmodern Courier New;}"
                            "{\\colortbl;\\red0\\green0\\blue255;}{\\stylesheet{\\s0 Normal;}}{\\*\\generator Writer;}"
                            "\\pard\\plain\\f1\\fs20 caf\\'e9 \\u8364?\\line {\\b\\cf1 bold}\\par}";
    const RtfDocument document = RtfReader::read(rtf);
    EXPECT_EQ(document.plainText(), "caf\xC3\xA9 \xE2\x82\xAC\nbold\n");
    ASSERT_EQ(document.runs.size(), 3u);
    EXPECT_EQ(document.runs[0].font.family, "Courier New");
    EXPECT_EQ(document.runs[0].font.pointSize, 10.0);
    EXPECT_TRUE(document.runs[1].font.bold);
    EXPECT_EQ(document.runs[1].font.color, 0xFF0000u);
}

TEST(RtfReader, DamagedOrPlainInputNeverFails)
{
    for (const char *text : {"{\\rtf1 \\'zz\\u-\\fs99999999999999 {{{ a", "{\\rtf1 }}}} b\\", "just text"}) {
        const RtfDocument document = RtfReader::read(text);
        EXPECT_FALSE(document.plainText().empty()) << text;
    }
    EXPECT_EQ(RtfReader::read("just text").plainText(), "just text");
}

} // namespace
} // namespace rvk
