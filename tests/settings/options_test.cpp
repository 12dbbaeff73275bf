#include "settings/drawingoptions.h"
#include "settings/generaloptions.h"

#include <gtest/gtest.h>

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
