#include "cli/clicommand.h"

#include <QGuiApplication>

#include <clocale>
#include <cstdlib>
#include <iostream>

int main(int argc, char *argv[])
{
    // Pictures are painted through QtGui; without a display the offscreen platform serves.
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    std::vector<std::string> args(argv + 1, argv + argc);
    rvk::cli::CommandContext context{std::cout, std::cerr};
    return rvk::cli::runCommandLine(args, context);
}
