// The backcross chart: bars of rpg_cm at computed places, carriers in their own colour.
#include "genotypeviewfixture.h"

#include "render/backcrosschart.h"

#include <gtest/gtest.h>

namespace rvk {
namespace {

using namespace rvk::test;

TEST(BackcrossChart, BarsStandAtTheirShareInTheCarriersColour)
{
    BackcrossChartInput input;
    input.width = 400;
    input.height = 300;
    input.hasTarget = true;
    input.carrierCaption = "carrier of m5";
    input.nonCarrierCaption = "not a carrier";
    input.bars = {{"a", 100.0, true}, {"b", 50.0, false}, {"c", std::nullopt, true}, {"d", 0.0, true}};
    const QImage image = renderPicture(recordBackcrossChart(input));
    // Plot area x 60 .. 380, y 40 (100 %) .. 230 (0 %); four bars 80 pixels apart from x = 60,
    // each 79 wide; 50 % stands at 230 - 95 = 135.
    const Rgb carrier = rgb(0, 150, 0), other = rgb(170, 170, 170);
    EXPECT_EQ(pixelAt(image, 100, 41), carrier);
    EXPECT_EQ(pixelAt(image, 100, 229), carrier);
    EXPECT_EQ(pixelAt(image, 100, 38), White);
    EXPECT_EQ(pixelAt(image, 139, 200), White); // the gap between bars
    EXPECT_EQ(pixelAt(image, 180, 136), other);
    EXPECT_EQ(pixelAt(image, 180, 133), White);
    EXPECT_EQ(pixelAt(image, 260, 200), White); // no value, no bar
    EXPECT_EQ(pixelAt(image, 340, 228), White); // 0 %
    // Without a target every bar is a carrier's.
    input.hasTarget = false;
    const QImage plain = renderPicture(recordBackcrossChart(input));
    EXPECT_EQ(pixelAt(plain, 180, 200), carrier);
}

} // namespace
} // namespace rvk
