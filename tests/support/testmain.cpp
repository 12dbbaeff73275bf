#include <gtest/gtest.h>

#include <QApplication>

#include <clocale>
#include <cstdlib>

// Every test program runs with a (offscreen) application object, so fonts, pictures and windows
// work the same in logic and window tests.
int main(int argc, char **argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
