#include "settings/settingsfile.h"

#include "settings/inifile.h"
#include "settings/randomgenerator.h"

#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <unistd.h>

namespace rvk {
namespace {

using test::readWholeFile;
using test::TempFolder;

const std::string ProgramFolder = "/opt/rvk/";

// Settings that differ from the defaults in every stored field.
DisplaySettings changedSettings()
{
    DisplaySettings s(ProgramFolder);
    for (int i = 0; i < AlleleTable::Size; ++i) {
        s.alleles.setColor(i, rgb(i, 255 - i, (i * 3) % 256));
        s.alleles.setHatch(i, i % 16);
        s.alleles.setLegend(i, "allele " + std::string(1, AlleleTable::codeOf(i)));
        s.alleles.setNumval(i, (i * 25 - 1010) / 100.0); // as typed: two decimals
    }
    s.alleles.setNumval(AlleleTable::indexOf('-'), -99.0);
    s.alleles.setLegend(AlleleTable::indexOf('x'), "");
    DrawingOptions &d = s.drawing;
    d.barwidth = 12;
    d.qtlbarwidth = 7;
    d.space = 9;
    d.topmargin = 33;
    d.bottommargin = 44;
    d.markspace = 61;
    d.markskip = 3;
    d.drawmarkers = false;
    d.drawpos = false;
    d.cMRuler = false;
    d.showtext = false;
    d.roundtip = true;
    d.ticks = true;
    d.ShowLegend = false;
    d.markerFont = FontDescription{"Times New Roman", 11, rgb(10, 20, 30), false};
    d.qtlFont = FontDescription{"Courier", 9, rgb(200, 0, 0), false};
    d.Fillstyle = DrawingOptions::FillStyle::ThreeD;
    d.hatchgrp = DrawingOptions::HatchGroup::UseHatch;
    d.Customtext = "Cross 2024 = F2, 50% done";
    s.currentPath = "/home/user/data/";
    s.recentFiles = {"/home/user/data/c.rvk", "/home/user/data/b.rvk", "/home/user/data/a.rvk"};
    s.selected = {true, false, false, true, false};
    return s;
}

void expectSameAlleles(const AlleleTable &a, const AlleleTable &b)
{
    for (int i = 0; i < AlleleTable::Size; ++i) {
        const Tcolorset &x = a.entry(i);
        const Tcolorset &y = b.entry(i);
        EXPECT_EQ(x.Color, y.Color) << i;
        EXPECT_EQ(x.Hatch, y.Hatch) << i;
        EXPECT_EQ(x.HatchBrush, y.HatchBrush) << i;
        EXPECT_EQ(x.Legend, y.Legend) << i;
        EXPECT_EQ(x.Numval, y.Numval) << i;
    }
}

TEST(SettingsFileRoundTrip, RvsFileGivesBackEveryStoredSetting)
{
    TempFolder folder;
    const std::string path = folder.file("cross.rvs");
    const DisplaySettings saved = changedSettings();
    std::string error;
    ASSERT_TRUE(saveSettings(path, saved, &error)) << error;

    DisplaySettings loaded(ProgramFolder);
    loaded.selected.assign(5, true);
    // Options that are not stored keep what the loading side has.
    loaded.drawing.Lenmul = 5;
    loaded.drawing.labelfreq = 4;
    loaded.drawing.sideways = false;
    loaded.drawing.autosize = false;
    loaded.drawing.showphase = true;
    loaded.drawing.colorMode = DrawingOptions::ColorMode::BlackAndWhite;
    DrawingOptions expected = saved.drawing;
    expected.Lenmul = 5;
    expected.labelfreq = 4;
    expected.sideways = false;
    expected.autosize = false;
    expected.showphase = true;
    expected.colorMode = DrawingOptions::ColorMode::BlackAndWhite;

    ASSERT_TRUE(loadSettings(path, loaded, &error)) << error;
    expectSameAlleles(loaded.alleles, saved.alleles);
    EXPECT_EQ(loaded.drawing, expected);
    EXPECT_EQ(loaded.currentPath, saved.currentPath);
    EXPECT_EQ(loaded.recentFiles, saved.recentFiles);
    EXPECT_EQ(loaded.selected, saved.selected);

    // Saving what was loaded writes the same file again.
    const std::string again = folder.file("again.rvs");
    ASSERT_TRUE(saveSettings(again, loaded));
    EXPECT_EQ(readWholeFile(again), readWholeFile(path));
}

TEST(SettingsFileLayout, KeysAreWrittenInTheFileOrder)
{
    IniFile ini("new.rvs");
    DisplaySettings settings(ProgramFolder);
    settings.selected = {true, false};
    writeSettings(ini, settings, true);
    // "legend"/"show" joins the allele "Legend" section: names are compared without case.
    EXPECT_EQ(ini.sections(), (std::vector<std::string>{"colors", "hatch", "Legend", "numval", "drawing", "font", "qtlfont",
                                                        "path", "recent", "selected"}));
    const std::vector<std::string> legendKeys = ini.keys("legend");
    ASSERT_EQ(legendKeys.size(), 82u);
    EXPECT_EQ(legendKeys.front(), "42");
    EXPECT_EQ(legendKeys[80], "122");
    EXPECT_EQ(legendKeys.back(), "show");
    EXPECT_EQ(ini.keys("drawing"),
              (std::vector<std::string>{"barwidth", "qtlbarwidth", "space", "topmargin", "bottommargin", "markerspace",
                                        "skipspace", "drawmarkers", "drawpos", "drawruler", "showtext", "roundtip", "ticks",
                                        "fillstyle", "hatchyesno", "customtext"}));
    EXPECT_EQ(ini.keys("font"), (std::vector<std::string>{"name", "size", "color"}));
    EXPECT_EQ(ini.readString("numval", "85", ""), "-99"); // 'U'
    EXPECT_EQ(ini.readString("numval", "67", ""), "0.5"); // 'C'
    EXPECT_EQ(ini.readString("colors", "65", ""), "255"); // 'A' red
    EXPECT_EQ(ini.readString("colors", "66", ""), "8388608"); // 'B' navy
    EXPECT_EQ(ini.readString("drawing", "fillstyle", ""), "1");
    EXPECT_EQ(ini.readString("recent", "1", ""), "/opt/rvk/example.rvk");
    EXPECT_EQ(ini.readString("selected", "2", ""), "0");

    IniFile plain("rvk.ini");
    writeSettings(plain, settings, false);
    EXPECT_FALSE(plain.hasSection("selected"));
}

TEST(SettingsFileReading, CrLfFileWithKeysInAnotherOrderAndCase)
{
    TempFolder folder;
    const std::string path = folder.write("other.rvs",
                                          "\xEF\xBB\xBF; written elsewhere\r\n"
                                          "[SELECTED]\r\n2 = 0\r\n1=1\r\n"
                                          "[Drawing]\r\nFillStyle=0\r\nBarWidth = 15\r\nhatchYesNo=1\r\n"
                                          "[LEGEND]\r\nShow=0\r\n65=Parent A\r\n"
                                          "[font]\r\nsize=12\r\nname=Verdana\r\n"
                                          "[Numval]\r\n66=0.25\r\n45=-99\r\n"
                                          "[Colors]\r\n66=65280\r\n"
                                          "[Hatch]\r\n66=16\r\n"
                                          "[Recent]\r\n2=/data/two.rvk\r\n");
    DisplaySettings settings(ProgramFolder);
    settings.selected.assign(3, false);
    ASSERT_TRUE(loadSettings(path, settings));
    EXPECT_EQ(settings.drawing.Fillstyle, DrawingOptions::FillStyle::Gradient);
    EXPECT_EQ(settings.drawing.barwidth, 15);
    EXPECT_EQ(settings.drawing.hatchgrp, DrawingOptions::HatchGroup::UseHatch);
    EXPECT_FALSE(settings.drawing.ShowLegend);
    EXPECT_EQ(settings.drawing.markerFont.name, "Verdana");
    EXPECT_EQ(settings.drawing.markerFont.size, 12);
    EXPECT_EQ(settings.alleles.lookup('A').Legend, "Parent A");
    EXPECT_EQ(settings.alleles.lookup('B').Numval, 0.25);
    EXPECT_EQ(settings.alleles.lookup('B').Color, rgb(0, 255, 0));
    EXPECT_EQ(settings.alleles.lookup('B').Hatch, 15);
    EXPECT_TRUE(settings.alleles.lookup('-').isMissing());
    EXPECT_EQ(settings.recentFiles[0], "/opt/rvk/example.rvk");
    EXPECT_EQ(settings.recentFiles[1], "/data/two.rvk");
    // Keys "1" and "2" as stored; the third individual has no key and is checked.
    EXPECT_EQ(settings.selected, (std::vector<bool>{true, false, true}));
}

struct HatchCase
{
    const char *stored;
    int hatch; // -1: the pseudo-random default
};

TEST(SettingsFileReading, StoredHatchValuesMapToPatterns)
{
    const HatchCase cases[] = {{"1", 0}, {"14", 13}, {"16", 15}, {"17", 0}, {"100", 0}, {"0", 0}, {"-3", 0}, {"abc", -1}, {"", -1}};
    for (const HatchCase &c : cases) {
        IniFile ini("x.ini");
        ini.setText(std::string("[hatch]\n42=") + c.stored + "\n");
        DisplaySettings settings(ProgramFolder);
        ProgramRandom random;
        readSettings(ini, settings, false, random);
        const int expected = c.hatch >= 0 ? c.hatch : AlleleTable().entry(0).Hatch;
        EXPECT_EQ(settings.alleles.entry(0).Hatch, expected) << c.stored;
        EXPECT_EQ(settings.alleles.entry(0).HatchBrush, &HatchPatterns()[static_cast<size_t>(expected)]) << c.stored;
    }
}

TEST(SettingsFileReading, UnreadableValuesTakeTheirDefaults)
{
    IniFile ini("x.ini");
    ini.setText("[colors]\n65=-5\n66=16777216\n67=blue\n[numval]\n85=missing\n[drawing]\nbarwidth=0\nspace=9999\n"
                "fillstyle=3\nhatchyesno=-1\ndrawmarkers=yes\n[font]\nsize=-4\ncolor=red\n");
    DisplaySettings settings(ProgramFolder);
    ProgramRandom random;
    readSettings(ini, settings, false, random);
    EXPECT_EQ(settings.alleles.lookup('A').Color, rgb(255, 0, 0));
    EXPECT_EQ(settings.alleles.lookup('B').Color, rgb(0, 0, 128));
    EXPECT_EQ(settings.alleles.lookup('C').Color, rgb(166, 202, 240));
    EXPECT_TRUE(settings.alleles.lookup('U').isMissing());
    EXPECT_EQ(settings.drawing.barwidth, 1);  // brought into the control's range
    EXPECT_EQ(settings.drawing.space, 200);
    EXPECT_EQ(settings.drawing.Fillstyle, DrawingOptions::FillStyle::Discrete);
    EXPECT_EQ(settings.drawing.hatchgrp, DrawingOptions::HatchGroup::Solid);
    EXPECT_TRUE(settings.drawing.drawmarkers);
    EXPECT_EQ(settings.drawing.markerFont.size, 8);
    EXPECT_EQ(settings.drawing.markerFont.color, 0u);
}

TEST(SettingsFileReading, ColoursAtTheEndsOfTheirRangeAreStoredColours)
{
    IniFile ini("x.ini");
    ini.setText("[colors]\n65=16777215\n66=0\n67=16777216\n68=-1\n"
                "[font]\ncolor=16777215\n[qtlfont]\ncolor=255\n");
    DisplaySettings settings(ProgramFolder);
    ProgramRandom random;
    readSettings(ini, settings, false, random);
    EXPECT_EQ(settings.alleles.lookup('A').Color, rgb(255, 255, 255)); // white, not missing
    EXPECT_EQ(settings.alleles.lookup('B').Color, rgb(0, 0, 0));       // black, not missing
    EXPECT_EQ(settings.alleles.lookup('C').Color, rgb(166, 202, 240)); // beyond 24 bits: default
    EXPECT_EQ(settings.alleles.lookup('D').Color, rgb(128, 0, 0));     // negative: default
    EXPECT_EQ(settings.drawing.markerFont.color, rgb(255, 255, 255));
    EXPECT_EQ(settings.drawing.qtlFont.color, rgb(255, 0, 0));
}

TEST(SettingsFileReading, AnyNonZeroIntegerIsTrue)
{
    IniFile ini("x.ini");
    ini.setText("[drawing]\nroundtip=2\nticks=-1\ndrawmarkers=0\ndrawpos=00\ndrawruler=x\nshowtext=1.5\n[legend]\nshow=0\n");
    DisplaySettings settings(ProgramFolder);
    ProgramRandom random;
    readSettings(ini, settings, false, random);
    EXPECT_TRUE(settings.drawing.roundtip);
    EXPECT_TRUE(settings.drawing.ticks);
    EXPECT_FALSE(settings.drawing.drawmarkers);
    EXPECT_FALSE(settings.drawing.drawpos);
    EXPECT_TRUE(settings.drawing.cMRuler);  // not an integer: the default
    EXPECT_TRUE(settings.drawing.showtext); // not an integer: the default
    EXPECT_FALSE(settings.drawing.ShowLegend);
}

TEST(SettingsFileReading, MissingFileGivesTheFirstStartDefaults)
{
    TempFolder folder;
    DisplaySettings settings(ProgramFolder);
    settings.drawing.barwidth = 30;
    settings.currentPath = "/elsewhere/";
    ProgramRandom random;
    ASSERT_TRUE(loadSettings(folder.file("rvk.ini"), settings, random, nullptr));
    expectSameAlleles(settings.alleles, AlleleTable());
    EXPECT_EQ(settings.drawing, DrawingOptions());
    EXPECT_EQ(settings.currentPath, "/opt/rvk/");
    EXPECT_EQ(settings.recentFiles[2], "/opt/rvk/example.rvk");
}

TEST(SettingsFileReading, LoadingKeepsUsedFlagsAndIniKeepsCheckStates)
{
    TempFolder folder;
    DisplaySettings source = changedSettings();
    ASSERT_TRUE(saveSettings(folder.file("a.rvs"), source));
    ASSERT_TRUE(saveSettings(folder.file("a.INI"), source));

    DisplaySettings settings(ProgramFolder);
    settings.alleles.markUsed('A');
    settings.alleles.markUsed('H');
    settings.selected.assign(5, true);
    ASSERT_TRUE(loadSettings(folder.file("a.INI"), settings));
    ASSERT_TRUE(loadSettings(folder.file("a.INI"), settings));
    EXPECT_EQ(settings.alleles.usedFlags().count(), 2u);
    EXPECT_TRUE(settings.alleles.lookup('A').Used);
    EXPECT_TRUE(settings.alleles.lookup('H').Used);
    EXPECT_EQ(settings.selected, std::vector<bool>(5, true));
    ASSERT_TRUE(loadSettings(folder.file("a.rvs"), settings));
    EXPECT_EQ(settings.selected, source.selected);
    EXPECT_EQ(settings.alleles.usedFlags().count(), 2u);
    EXPECT_FALSE(readWholeFile(folder.file("a.INI")).empty());
    EXPECT_EQ(readWholeFile(folder.file("a.INI")).find("[selected]"), std::string::npos);
}

TEST(SettingsFileSaving, KeysThatAreNotWrittenStay)
{
    TempFolder folder;
    const std::string path = folder.write("rvk.ini", "[recent]\r\n1=/old/one.rvk\r\n[mine]\r\nkeep=this\r\n"
                                                     "[drawing]\r\nbarwidth=3\r\nzoom=150\r\n");
    DisplaySettings settings(ProgramFolder);
    ASSERT_TRUE(saveSettings(path, settings));
    const std::string text = readWholeFile(path);
    // Replaced in place, unknown keys kept, the file's line ends kept.
    EXPECT_EQ(text.rfind("[recent]\r\n1=/opt/rvk/example.rvk\r\n2=/opt/rvk/example.rvk\r\n3=/opt/rvk/example.rvk\r\n[mine]\r\nkeep=this\r\n"
                         "[drawing]\r\nbarwidth=8\r\nzoom=150\r\nqtlbarwidth=4\r\n",
                         0),
              0u);
}

TEST(SettingsFileSaving, UnwritableTargetGivesTheMessageAndKeepsTheOldFile)
{
    TempFolder folder;
    const DisplaySettings settings(ProgramFolder);
    std::string error;
    const std::string missingFolder = folder.file("gone/cross.rvs");
    EXPECT_FALSE(saveSettings(missingFolder, settings, &error));
    EXPECT_EQ(error, "Unable to write to " + missingFolder);

    // A folder standing where the file should go is neither read nor replaced.
    const std::string taken = folder.file("taken.rvs");
    std::filesystem::create_directory(taken);
    error.clear();
    EXPECT_FALSE(saveSettings(taken, settings, &error));
    EXPECT_EQ(error, "Unable to write to " + taken);
    EXPECT_TRUE(std::filesystem::is_directory(taken));

    if (::geteuid() != 0) { // root writes anywhere
        std::filesystem::create_directory(folder.file("locked"));
        const std::string old = folder.write("locked/old.rvs", "[drawing]\nbarwidth=3\n");
        std::filesystem::permissions(folder.file("locked"), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        error.clear();
        EXPECT_FALSE(saveSettings(old, settings, &error));
        EXPECT_EQ(error, "Unable to write to " + old);
        EXPECT_EQ(readWholeFile(old), "[drawing]\nbarwidth=3\n");
    }
}

TEST(SettingsFileVariants, IniExtensionIsComparedWithoutCase)
{
    EXPECT_TRUE(isIniSettingsFile("/opt/rvk/rvk.ini"));
    EXPECT_TRUE(isIniSettingsFile("C.INI"));
    EXPECT_FALSE(isIniSettingsFile("cross.rvs"));
    EXPECT_FALSE(isIniSettingsFile("cross.ini.rvs"));
    EXPECT_FALSE(isIniSettingsFile("ini"));
}

} // namespace
} // namespace rvk
