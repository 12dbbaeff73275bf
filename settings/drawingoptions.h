#pragma once

#include "settings/fontdescription.h"

#include <string>

namespace rvk {

// The options of the page "Drawing options" that the painters read. The window copies its
// controls into this struct (and back after a settings load); the command-line front end fills
// it directly. Field names are the names of the page's controls; ranges and defaults are those
// of the controls.
struct DrawingOptions
{
    struct Range
    {
        int min;
        int max;
        int clamp(int value) const { return value < min ? min : (value > max ? max : value); }
    };
    static constexpr Range barwidthRange{1, 50};
    static constexpr Range qtlbarwidthRange{1, 40};
    static constexpr Range spaceRange{0, 200};
    static constexpr Range markspaceRange{0, 200};
    static constexpr Range markskipRange{0, 50};
    static constexpr Range LenmulRange{1, 10};
    static constexpr Range topmarginRange{0, 1000};
    static constexpr Range bottommarginRange{0, 1000};
    static constexpr Range labelfreqRange{1, 25};

    // "Space for markernames:" given to and taken from the marker names by their check box.
    static constexpr int MarkspaceWithNames = 100;
    static constexpr int MarkspaceWithoutNames = 15;

    enum class FillStyle { Gradient = 0, Discrete = 1, ThreeD = 2 }; // "Bar Fill Style"; stored as the number
    enum class HatchGroup { Solid = 0, UseHatch = 1 };                // "Color hatch pattern"; stored as the number
    // RadioButton1 "Color" / RadioButton2 "B && W"; Comparison colours each segment by how its
    // code compares with a reference individual's code at the same locus (or, with a donor as
    // well, by whose allele it carries).
    enum class ColorMode { Color, BlackAndWhite, Comparison };

    int barwidth = 8;       // "Bar width:"
    int qtlbarwidth = 4;    // "QTL Bar width:"
    int space = 6;          // "Space between bars :"
    int markspace = 100;    // "Space for markernames:"
    bool autosize = true;   // the linkage-group view computes markspace itself
    int markskip = 0;       // "Skip markers  less than" ... "cM apart"
    int Lenmul = 2;         // "Length multiplier factor:"
    int topmargin = 20;     // "Top margin:"
    int bottommargin = 40;  // "Bottom margin:"
    int labelfreq = 1;      // "Print labels every" ... "Individuals"
    bool sideways = true;   // "print labels sideways (rotated 270°)"
    FillStyle Fillstyle = FillStyle::Discrete;
    HatchGroup hatchgrp = HatchGroup::Solid;
    bool drawmarkers = true; // "Marker-names"
    bool drawpos = true;     // "Marker-positions"
    bool cMRuler = true;     // "cM Ruler"
    bool ShowLegend = true;  // "Color Legend"
    bool ticks = false;      // "Marker-Ticks"
    bool roundtip = false;   // "Draw curved tips on chromosome ends"
    bool showphase = false;  // "Phase info"
    bool showtext = true;    // "Footer text:"
    std::string Customtext;  // the footer text
    ColorMode colorMode = ColorMode::Color;
    FontDescription markerFont;     // sample label Dummylabel
    FontDescription qtlFont;        // sample label qtllabel
    // The individuals the comparison mode compares with, by name; the donor may stay empty.
    std::string compareReference;
    std::string compareDonor;

    bool blackAndWhite() const { return colorMode == ColorMode::BlackAndWhite; }
    bool useHatch() const { return hatchgrp == HatchGroup::UseHatch; }
    bool comparison() const { return colorMode == ColorMode::Comparison; }

    // The user ticks or clears "Marker-names": the space for the names follows (100 or 15).
    // A settings load sets drawmarkers and markspace directly instead, so both come back as saved.
    void setDrawMarkers(bool on);
    // The user picks "Color" or "B && W" (also through the tool buttons): black and white has no
    // discrete colours, so "Discrete" becomes "Gradient", and back when colour is chosen again.
    void setColorMode(ColorMode mode);

    // Brings every numeric field into the range of its control and the fonts to usable values.
    void clampToRanges();

    bool operator==(const DrawingOptions &) const = default;
};

} // namespace rvk
