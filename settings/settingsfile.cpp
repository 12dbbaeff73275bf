#include "settings/settingsfile.h"

#include "core/textformat.h"
#include "settings/inifile.h"
#include "settings/programpaths.h"
#include "settings/randomgenerator.h"

#include <filesystem>

namespace rvk {

namespace {

// Section names as the files spell them. "Legend" (allele descriptions) and "legend" (the
// colour legend switch) are one section to the case-insensitive file routines; their keys differ.
constexpr const char *ColorsSection = "colors";
constexpr const char *HatchSection = "hatch";
constexpr const char *LegendSection = "Legend";
constexpr const char *NumvalSection = "numval";
constexpr const char *DrawingSection = "drawing";
constexpr const char *ColorLegendSection = "legend";
constexpr const char *MarkerFontSection = "font";
constexpr const char *QtlFontSection = "qtlfont";
constexpr const char *PathSection = "path";
constexpr const char *RecentSection = "recent";
constexpr const char *SelectedSection = "selected";

constexpr int HatchCount = 16;
constexpr Rgb LargestColor = 0xFFFFFF;

std::string keyOf(int number) { return formatText("%d", {number}); }

void writeFont(IniFile &ini, const char *section, const FontDescription &font)
{
    ini.writeString(section, "name", font.name);
    ini.writeInteger(section, "size", font.size);
    ini.writeInteger(section, "color", font.color);
}

// A colour value outside 24 bits cannot be a stored colour and counts as missing.
Rgb readColor(const IniFile &ini, const char *section, const std::string &key, Rgb defaultColor)
{
    const int value = ini.readInteger(section, key, -1);
    if (value < 0 || static_cast<Rgb>(value) > LargestColor)
        return defaultColor;
    return static_cast<Rgb>(value);
}

void readFont(const IniFile &ini, const char *section, FontDescription &font)
{
    const FontDescription defaults;
    font.name = ini.readString(section, "name", defaults.name);
    font.size = ini.readInteger(section, "size", defaults.size);
    font.color = readColor(ini, section, "color", defaults.color);
}

void readAlleleTable(const IniFile &ini, AlleleTable &table, ProgramRandom &random)
{
    const std::bitset<AlleleTable::Size> used = table.usedFlags();
    for (int i = 0; i < AlleleTable::Size; ++i) {
        const char code = AlleleTable::codeOf(i);
        const std::string key = keyOf(i + AlleleTable::FirstCode);
        const AlleleTable::RandomDefault drawn = AlleleTable::drawRandomDefault(random);
        Tcolorset &entry = table.entry(i);
        entry = Tcolorset{};
        table.setColor(i, readColor(ini, ColorsSection, key, AlleleTable::fixedDefaultColor(code).value_or(drawn.color)));
        table.setNumval(i, ini.readFloat(NumvalSection, key, AlleleTable::defaultNumval(code)));
        // Stored as Hatch + 1. Values outside 1..16 (not written by the program) mean the first
        // pattern, below as above.
        int stored = ini.readInteger(HatchSection, key, drawn.hatch + 1);
        if (stored < 1 || stored > HatchCount)
            stored = 1;
        table.setHatch(i, stored - 1);
        table.setLegend(i, ini.readString(LegendSection, key, std::string(1, code)));
        entry.DrawnLength = 0.0;
        entry.Used = used[static_cast<size_t>(i)];
    }
}

template <typename Enum> Enum readChoice(const IniFile &ini, const char *section, const char *key, Enum defaultValue, int count)
{
    const int value = ini.readInteger(section, key, static_cast<int>(defaultValue));
    return (value < 0 || value >= count) ? defaultValue : static_cast<Enum>(value);
}

} // namespace

bool isIniSettingsFile(const std::string &path)
{
    std::string extension = std::filesystem::path(path).extension().string();
    for (char &c : extension)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return extension == ".ini";
}

void writeSettings(IniFile &ini, const DisplaySettings &settings, bool withSelection)
{
    const AlleleTable &table = settings.alleles;
    for (int i = 0; i < AlleleTable::Size; ++i) {
        const std::string key = keyOf(i + AlleleTable::FirstCode);
        const Tcolorset &entry = table.entry(i);
        ini.writeInteger(ColorsSection, key, entry.Color);
        ini.writeInteger(HatchSection, key, entry.Hatch + 1);
        ini.writeString(LegendSection, key, entry.Legend);
        ini.writeFloat(NumvalSection, key, entry.Numval);
    }

    const DrawingOptions &d = settings.drawing;
    ini.writeInteger(DrawingSection, "barwidth", d.barwidth);
    ini.writeInteger(DrawingSection, "qtlbarwidth", d.qtlbarwidth);
    ini.writeInteger(DrawingSection, "space", d.space);
    ini.writeInteger(DrawingSection, "topmargin", d.topmargin);
    ini.writeInteger(DrawingSection, "bottommargin", d.bottommargin);
    ini.writeInteger(DrawingSection, "markerspace", d.markspace);
    ini.writeInteger(DrawingSection, "skipspace", d.markskip);
    ini.writeBool(DrawingSection, "drawmarkers", d.drawmarkers);
    ini.writeBool(DrawingSection, "drawpos", d.drawpos);
    ini.writeBool(DrawingSection, "drawruler", d.cMRuler);
    ini.writeBool(DrawingSection, "showtext", d.showtext);
    ini.writeBool(DrawingSection, "roundtip", d.roundtip);
    ini.writeBool(DrawingSection, "ticks", d.ticks);
    ini.writeBool(ColorLegendSection, "show", d.ShowLegend);
    writeFont(ini, MarkerFontSection, d.markerFont);
    writeFont(ini, QtlFontSection, d.qtlFont);
    ini.writeInteger(DrawingSection, "fillstyle", static_cast<int>(d.Fillstyle));
    ini.writeInteger(DrawingSection, "hatchyesno", static_cast<int>(d.hatchgrp));
    ini.writeString(DrawingSection, "customtext", d.Customtext);

    ini.writeString(PathSection, "current", settings.currentPath);
    for (int k = 0; k < DisplaySettings::RecentCount; ++k)
        ini.writeString(RecentSection, keyOf(k + 1), settings.recentFiles[static_cast<size_t>(k)]);

    if (withSelection)
        for (size_t k = 0; k < settings.selected.size(); ++k)
            ini.writeBool(SelectedSection, keyOf(static_cast<int>(k + 1)), settings.selected[k]);
}

void readSettings(const IniFile &ini, DisplaySettings &settings, bool withSelection, ProgramRandom &random)
{
    readAlleleTable(ini, settings.alleles, random);

    DrawingOptions &d = settings.drawing;
    const DrawingOptions defaults;
    d.barwidth = ini.readInteger(DrawingSection, "barwidth", defaults.barwidth);
    d.qtlbarwidth = ini.readInteger(DrawingSection, "qtlbarwidth", defaults.qtlbarwidth);
    d.space = ini.readInteger(DrawingSection, "space", defaults.space);
    d.topmargin = ini.readInteger(DrawingSection, "topmargin", defaults.topmargin);
    d.bottommargin = ini.readInteger(DrawingSection, "bottommargin", defaults.bottommargin);
    d.markspace = ini.readInteger(DrawingSection, "markerspace", defaults.markspace);
    d.markskip = ini.readInteger(DrawingSection, "skipspace", defaults.markskip);
    d.drawmarkers = ini.readBool(DrawingSection, "drawmarkers", defaults.drawmarkers);
    d.drawpos = ini.readBool(DrawingSection, "drawpos", defaults.drawpos);
    d.cMRuler = ini.readBool(DrawingSection, "drawruler", defaults.cMRuler);
    d.showtext = ini.readBool(DrawingSection, "showtext", defaults.showtext);
    d.roundtip = ini.readBool(DrawingSection, "roundtip", defaults.roundtip);
    d.ticks = ini.readBool(DrawingSection, "ticks", defaults.ticks);
    d.ShowLegend = ini.readBool(ColorLegendSection, "show", defaults.ShowLegend);
    readFont(ini, MarkerFontSection, d.markerFont);
    readFont(ini, QtlFontSection, d.qtlFont);
    d.Fillstyle = readChoice(ini, DrawingSection, "fillstyle", defaults.Fillstyle, 3);
    d.hatchgrp = readChoice(ini, DrawingSection, "hatchyesno", defaults.hatchgrp, 2);
    d.Customtext = ini.readString(DrawingSection, "customtext", defaults.Customtext);
    d.clampToRanges();

    settings.currentPath = ini.readString(PathSection, "current", settings.defaultCurrentPath());
    for (int k = 0; k < DisplaySettings::RecentCount; ++k)
        settings.recentFiles[static_cast<size_t>(k)] = ini.readString(RecentSection, keyOf(k + 1), settings.defaultRecentFile());

    if (withSelection)
        for (size_t k = 0; k < settings.selected.size(); ++k)
            settings.selected[k] = ini.readBool(SelectedSection, keyOf(static_cast<int>(k + 1)), true);
}

bool saveSettings(const std::string &path, const DisplaySettings &settings, std::string *errorText)
{
    IniFile ini(path);
    // Keys of the old file that are not written must survive, so a file that exists but cannot
    // be read is not replaced.
    if (!ini.load()) {
        if (errorText)
            *errorText = formatText("Unable to write to %s", {path});
        return false;
    }
    writeSettings(ini, settings, !isIniSettingsFile(path));
    return ini.save(errorText);
}

bool loadSettings(const std::string &path, DisplaySettings &settings, ProgramRandom &random, std::string *errorText)
{
    IniFile ini(path);
    if (!ini.load(errorText))
        return false;
    readSettings(ini, settings, !isIniSettingsFile(path), random);
    return true;
}

bool loadSettings(const std::string &path, DisplaySettings &settings, std::string *errorText)
{
    return loadSettings(path, settings, ProgramRandom::global(), errorText);
}

bool saveDefaultSettings(const DisplaySettings &settings, std::string *errorText)
{
    return saveSettings(defaultSettingsFilePath(), settings, errorText);
}

bool loadDefaultSettings(DisplaySettings &settings, std::string *errorText)
{
    return loadSettings(defaultSettingsFilePath(), settings, errorText);
}

} // namespace rvk
