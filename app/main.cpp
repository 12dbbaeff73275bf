#include "app/mainwindow.h"
#include "app/splashwindow.h"
#include "app/tooltiptiming.h"

#include <QApplication>
#include <QLocale>
#include <QStringList>

#include <clocale>
#include <cstdlib>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    // QApplication adopts the user's locale; numbers are read and written with "." regardless.
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale::c());

    QApplication::setApplicationName(QStringLiteral("RVK - graphical genotypes"));
    QApplication::setApplicationDisplayName(QStringLiteral("RVK - graphical genotypes"));
    rvk::installToolTipTiming(application);

    if (!std::getenv("RVK_NO_SPLASH")) {
        auto *splash = new rvk::SplashWindow;
        splash->showCentred();
    }

    rvk::MainWindowOptions options;
    const QStringList arguments = QApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i)
        options.startFiles.append(arguments[i]);

    rvk::MainWindow window(options);
    window.show();
    return application.exec();
}
