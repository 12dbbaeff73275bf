#include "app/applicationsetup.h"
#include "app/mainwindow.h"
#include "app/splashwindow.h"

#include <QStringList>

#include <cstdlib>

int main(int argc, char *argv[])
{
    rvk::Application application(argc, argv);
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
    application.setErrorInterface(&window.userInterface());
    window.show();
    const int status = application.exec();
    application.setErrorInterface(nullptr);
    return status;
}
