#include "app/applicationsetup.h"

#include "app/qtuserinterface.h"
#include "app/tooltiptiming.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>

#include <clocale>
#include <exception>
#include <iostream>

// The window library is static: its resources are registered by hand.
static void registerResources() { Q_INIT_RESOURCE(rvk); }

namespace rvk {

namespace {
// The text an escaped error is shown with: its own, or a general one for an error without one.
std::string escapedErrorText(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception &e) {
        if (e.what() && *e.what())
            return e.what();
    } catch (...) {
    }
    return "An unknown error ended the command.";
}

} // namespace

Application::Application(int &argc, char **argv) : QApplication(argc, argv) {}

Application::~Application() = default;

void Application::setErrorInterface(UserInterface *ui)
{
    mUi = ui;
    mQtUi = dynamic_cast<QtUserInterface *>(ui);
}

bool Application::notify(QObject *receiver, QEvent *event)
{
    // The busy cursor of a command that ends by an error goes with it; an outer command's stays.
    const int busyDepth = mQtUi ? mQtUi->busyDepth() : 0;
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        const std::string text = escapedErrorText(std::current_exception());
        if (mQtUi)
            mQtUi->restoreBusyDepth(busyDepth);
        reportEscapedError(text);
    }
    return false;
}

void Application::reportEscapedError(const std::string &text)
{
    // An error while the box is up (a picture that fails at every repaint) does not open box
    // after box.
    if (mReporting) {
        std::cerr << text << "\n";
        return;
    }
    mReporting = true;
    try {
        UserInterface *ui = mUi;
        if (!ui) {
            if (!mFallbackUi)
                mFallbackUi = std::make_unique<QtUserInterface>();
            ui = mFallbackUi.get();
        }
        ui->setProgress(0, 0);
        ui->error(text);
    } catch (...) {
        std::cerr << text << "\n";
    }
    mReporting = false;
}

void configureApplication(QApplication &application)
{
    // QApplication adopts the user's locale; numbers are read and written with "." regardless.
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale::c());

    // Only the name: a display name would be appended by the desktop to every window title,
    // and the main window's title is exactly "Display RVK 2.0" or "Display RVK - " + path.
    QApplication::setApplicationName(QString::fromLatin1(ApplicationName));
    // The desktop entry "rvk.desktop" is this program's (Wayland desktops match windows to
    // their entries by it), and its icon is the windows' icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("rvk"));
    registerResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/rvk.svg")));
    installToolTipTiming(application);
}

} // namespace rvk
