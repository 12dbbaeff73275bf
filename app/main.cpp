#include "app/applicationsetup.h"
#include "app/mainwindow.h"
#include "app/splashwindow.h"
#include "core/freedmemory.h"

#include <QStringList>

#include <cstdlib>
#include <memory>

int main(int argc, char *argv[])
{
    rvk::shareOneHeapAcrossThreads();
    rvk::Application application(argc, argv);
    rvk::configureApplication(application);

    // The splash only hides when its time is up; it is deleted here, at the top level, because
    // deleting a window while a progress dialog's loop runs (a large start file being read)
    // crashes window activation on some platforms.
    std::unique_ptr<rvk::SplashWindow> splash;
    if (!std::getenv("RVK_NO_SPLASH")) {
        splash = std::make_unique<rvk::SplashWindow>();
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
