#include "app/files/desktopopener.h"

#include <QDesktopServices>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>

namespace rvk {

namespace {
// Whether the freedesktop database names a default program for the file's type. Without
// xdg-mime to ask, the answer is left to the hand-over itself.
bool desktopHasProgramFor(const QString &path)
{
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty())
        return true;
    const QString type = QMimeDatabase().mimeTypeForFile(path).name();
    QProcess query;
    query.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"), type});
    if (!query.waitForFinished(5000)) {
        query.kill();
        return true;
    }
    return query.exitCode() == 0 && !query.readAllStandardOutput().trimmed().isEmpty();
}
} // namespace

bool openWithDefaultProgram(const QUrl &url)
{
    if (url.isLocalFile() && !desktopHasProgramFor(url.toLocalFile()))
        return false;
    return QDesktopServices::openUrl(url);
}

} // namespace rvk
