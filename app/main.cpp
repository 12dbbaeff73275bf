#include "app/applicationsetup.h"
#include "app/mainwindow.h"
#include "app/splashwindow.h"

#include <QApplication>
#include <QStringList>

#include <cstdlib>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    rvk::configureApplication(application);

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
