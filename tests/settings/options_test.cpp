#include "settings/drawingoptions.h"
#include "settings/generaloptions.h"

#include <gtest/gtest.h>

#include <utility>

namespace rvk {
namespace {

using Fill = DrawingOptions::FillStyle;
using Mode = DrawingOptions::ColorMode;

TEST(DrawingOptionsRules, MarkerNamesCheckSetsTheSpaceForTheNames)
{
    DrawingOptions options;
    options.markspace = 60;
    options.setDrawMarkers(false);
    EXPECT_FALSE(options.drawmarkers);
    EXPECT_EQ(options.markspace, 15);
    options.setDrawMarkers(true);
    EXPECT_TRUE(options.drawmarkers);
    EXPECT_EQ(options.markspace, 100);
}

struct ColorModeCase
{
    Fill before;
    Mode mode;
    Fill after;
};

TEST(DrawingOptionsRules, ColourModeSwapsGradientAndDiscrete)
{
    const ColorModeCase cases[] = {
        {Fill::Discrete, Mode::BlackAndWhite, Fill::Gradient}, {Fill::Gradient, Mode::BlackAndWhite, Fill::Gradient},
        {Fill::ThreeD, Mode::BlackAndWhite, Fill::ThreeD},     {Fill::Gradient, Mode::Color, Fill::Discrete},
        {Fill::Discrete, Mode::Color, Fill::Discrete},         {Fill::ThreeD, Mode::Color, Fill::ThreeD},
    };
    for (const ColorModeCase &c : cases) {
        DrawingOptions options;
        options.Fillstyle = c.before;
        options.setColorMode(c.mode);
        EXPECT_EQ(options.colorMode, c.mode);
        EXPECT_EQ(options.Fillstyle, c.after) << static_cast<int>(c.before) << " " << static_cast<int>(c.mode);
    }
}

TEST(DrawingOptionsRules, DefaultsAndRangesAreThoseOfTheControls)
{
    DrawingOptions options;
    EXPECT_EQ(options.barwidth, 8);
    EXPECT_EQ(options.Fillstyle, Fill::Discrete);
    EXPECT_EQ(options.hatchgrp, DrawingOptions::HatchGroup::Solid);
    EXPECT_EQ(options.colorMode, Mode::Color);
    EXPECT_EQ(fontCaption(options.markerFont), "Arial (8)");
    EXPECT_EQ(fontCaption(options.qtlFont), "Arial (8)");

    options.barwidth = 0;
    options.qtlbarwidth = 41;
    options.space = -3;
    options.markspace = 201;
    options.markskip = 51;
    options.Lenmul = 0;
    options.topmargin = 1001;
    options.bottommargin = -1;
    options.labelfreq = 26;
    options.markerFont.size = 0;
    options.qtlFont.name.clear();
    options.clampToRanges();
    EXPECT_EQ(options.barwidth, 1);
    EXPECT_EQ(options.qtlbarwidth, 40);
    EXPECT_EQ(options.space, 0);
    EXPECT_EQ(options.markspace, 200);
    EXPECT_EQ(options.markskip, 50);
    EXPECT_EQ(options.Lenmul, 1);
    EXPECT_EQ(options.topmargin, 1000);
    EXPECT_EQ(options.bottommargin, 0);
    EXPECT_EQ(options.labelfreq, 25);
    EXPECT_EQ(options.markerFont.size, 8);
    EXPECT_EQ(options.qtlFont.name, "Arial");
}

struct IntegerControl
{
    const char *caption;
    int DrawingOptions::*field;
    int min, max, initial;
};

TEST(DrawingOptionsRules, EveryNumericControlWithItsRangeAndDefault)
{
    // The controls of the page "Drawing options": range and default of each.
    const IntegerControl controls[] = {
        {"Bar width:", &DrawingOptions::barwidth, 1, 50, 8},
        {"QTL Bar width:", &DrawingOptions::qtlbarwidth, 1, 40, 4},
        {"Space between bars :", &DrawingOptions::space, 0, 200, 6},
        {"Space for markernames:", &DrawingOptions::markspace, 0, 200, 100},
        {"Skip markers  less than", &DrawingOptions::markskip, 0, 50, 0},
        {"Length multiplier factor:", &DrawingOptions::Lenmul, 1, 10, 2},
        {"Top margin:", &DrawingOptions::topmargin, 0, 1000, 20},
        {"Bottom margin:", &DrawingOptions::bottommargin, 0, 1000, 40},
        {"Print labels every", &DrawingOptions::labelfreq, 1, 25, 1},
    };
    for (const IntegerControl &c : controls) {
        DrawingOptions options;
        EXPECT_EQ(options.*c.field, c.initial) << c.caption;
        for (const auto &[value, kept] : {std::pair{c.min - 1, c.min}, std::pair{c.min, c.min}, std::pair{c.max, c.max},
                                          std::pair{c.max + 1, c.max}}) {
            options.*c.field = value;
            options.clampToRanges();
            EXPECT_EQ(options.*c.field, kept) << c.caption << " " << value;
        }
    }
}

TEST(DrawingOptionsRules, EveryCheckAndChoiceStartsAsTheControls)
{
    const DrawingOptions options;
    EXPECT_TRUE(options.autosize);
    EXPECT_TRUE(options.sideways);
    EXPECT_TRUE(options.drawmarkers);
    EXPECT_TRUE(options.drawpos);
    EXPECT_TRUE(options.cMRuler);
    EXPECT_TRUE(options.ShowLegend);
    EXPECT_FALSE(options.ticks);
    EXPECT_FALSE(options.roundtip);
    EXPECT_FALSE(options.showphase);
    EXPECT_TRUE(options.showtext);
    EXPECT_EQ(options.Customtext, "");
    EXPECT_EQ(options.Fillstyle, Fill::Discrete);
    EXPECT_EQ(options.hatchgrp, DrawingOptions::HatchGroup::Solid);
    EXPECT_EQ(options.colorMode, Mode::Color);
    for (const FontDescription &font : {options.markerFont, options.qtlFont}) {
        EXPECT_EQ(font.name, "Arial");
        EXPECT_EQ(font.size, 8);
        EXPECT_EQ(font.color, 0u);
        EXPECT_FALSE(font.bold);
    }
}

TEST(GeneralOptionsValues, EveryOptionStartsAsTheControls)
{
    const GeneralOptions options;
    EXPECT_EQ(options.hetfragment, "H");
    EXPECT_EQ(options.asso_amp, 10);
    EXPECT_EQ(options.coloroffset, 127);
    EXPECT_EQ(options.SArho, 90);
    EXPECT_EQ(options.iterrepeat, 20);
    EXPECT_FALSE(options.deducephase);
    EXPECT_EQ(options.associationplot, GeneralOptions::AssociationPlot::BarPlot);
    EXPECT_TRUE(options.useFDRthreshold);
    EXPECT_EQ(options.qthreshold, "0.05");
    EXPECT_EQ(options.pthreshold, "0.01");
    const struct
    {
        int GeneralOptions::*field;
        int min, max;
    } ranges[] = {{&GeneralOptions::asso_amp, 0, 400}, {&GeneralOptions::coloroffset, 0, 255},
                  {&GeneralOptions::SArho, 1, 99}, {&GeneralOptions::iterrepeat, 0, 400}};
    for (const auto &r : ranges) {
        GeneralOptions changed;
        changed.*r.field = r.min - 1;
        changed.clampToRanges();
        EXPECT_EQ(changed.*r.field, r.min);
        changed.*r.field = r.max + 1;
        changed.clampToRanges();
        EXPECT_EQ(changed.*r.field, r.max);
    }
}

TEST(GeneralOptionsValues, ThresholdsAndRanges)
{
    GeneralOptions options;
    EXPECT_EQ(options.qthresholdValue(), 0.05);
    EXPECT_EQ(options.pthresholdValue(), 0.01);
    EXPECT_FALSE(options.usepthreshold());
    options.qthreshold = "0,05";
    EXPECT_FALSE(options.qthresholdValue().has_value());
    options.SArho = 0;
    options.asso_amp = 500;
    options.coloroffset = -1;
    options.iterrepeat = 401;
    options.clampToRanges();
    EXPECT_EQ(options.SArho, 1);
    EXPECT_EQ(options.asso_amp, 400);
    EXPECT_EQ(options.coloroffset, 0);
    EXPECT_EQ(options.iterrepeat, 400);
}

} // namespace
} // namespace rvk
