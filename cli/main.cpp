#include "cli/clicommand.h"

#include <QGuiApplication>

#include <clocale>
#include <cstdlib>
#include <exception>
#include <iostream>

// Qt's own notes about the environment (no runtime folder on a server) are no business of a
// pipeline's standard error; real warnings still pass.
static void filterQtMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtDebugMsg || type == QtInfoMsg || message.startsWith(QLatin1String("QStandardPaths:")))
        return;
    std::cerr << message.toStdString() << "\n";
}

int main(int argc, char *argv[])
{
    qInstallMessageHandler(filterQtMessages);
    // Pictures are painted through QtGui; without a display the offscreen platform serves.
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // The command's arguments are its own: Qt would take options such as "--style X" for itself.
    std::vector<std::string> args(argv + 1, argv + argc);
    int qtArgc = 1;
    QGuiApplication application(qtArgc, argv);
    std::setlocale(LC_NUMERIC, "C");
    rvk::cli::CommandContext context{std::cout, std::cerr};
    try {
        return rvk::cli::runCommandLine(args, context);
    } catch (const std::exception &error) { // outside any command: writing the help text
        std::cerr << "rvk-cli: " << error.what() << "\n";
    }
    return 1;
}
