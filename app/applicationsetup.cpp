#include "app/applicationsetup.h"

#include "app/tooltiptiming.h"

#include <QApplication>
#include <QLocale>

#include <clocale>

namespace rvk {

void configureApplication(QApplication &application)
{
    // QApplication adopts the user's locale; numbers are read and written with "." regardless.
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale::c());

    // Only the name: a display name would be appended by the desktop to every window title,
    // and the main window's title is exactly "Display RVK 2.0" or "Display RVK - " + path.
    QApplication::setApplicationName(QString::fromLatin1(ApplicationName));
    installToolTipTiming(application);
}

} // namespace rvk
