#include "app/applicationsetup.h"

#include "app/tooltiptiming.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>

#include <clocale>

// The window library is static: its resources are registered by hand.
static void registerResources() { Q_INIT_RESOURCE(rvk); }

namespace rvk {

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
