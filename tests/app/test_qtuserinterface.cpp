#include "app/qtuserinterface.h"

#include <gtest/gtest.h>

#include <QProgressBar>

namespace rvk {
namespace {

TEST(QtUserInterfaceFilter, PipeSeparatedPairsBecomeQtFilterEntries)
{
    struct Case
    {
        std::string filter;
        QString qt;
        QString suffix;
    };
    const Case cases[] = {
        {"RVK file (*.rvk)|*.rvk", "RVK file (*.rvk)", "rvk"},
        {"RVK file (*.rvk)|*.rvk|All files (*.*)|*.*", "RVK file (*.rvk);;All files (*.*)", "rvk"},
        {"Settings|*.rvs;*.ini", "Settings (*.rvs *.ini)", "rvs"},
        {"Any file|*.*", "Any file (*.*)", ""},
        {"", "", ""},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(QtUserInterface::qtFilter(c.filter), c.qt) << c.filter;
        EXPECT_EQ(QtUserInterface::defaultSuffix(c.filter), c.suffix) << c.filter;
    }
}

TEST(QtUserInterfaceProgress, MovesTheStatusBarAndResetsToAnEmptyBar)
{
    QtUserInterface ui;
    ui.setProgress(3, 10); // no bar yet: nothing to move, nothing breaks
    QProgressBar bar;
    ui.setProgress(3, 10);
    EXPECT_EQ(bar.value(), -1);
    ui.setProgressBar(&bar);
    ui.setProgress(3, 10);
    EXPECT_EQ(bar.maximum(), 10);
    EXPECT_EQ(bar.value(), 3);
    ui.setProgress(0, 0);
    EXPECT_EQ(bar.value(), 0);
    EXPECT_GT(bar.maximum(), 0) << "an empty range would animate as busy";
    ui.setProgress(5'000'000'000LL, 10'000'000'000LL);
    EXPECT_EQ(bar.value() * 2, bar.maximum());
}

} // namespace
} // namespace rvk
