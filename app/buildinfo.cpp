#include "app/buildinfo.h"

#include "core/textformat.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>

namespace rvk {

QString programTitle() { return QStringLiteral("RVK 2.0 - graphical genotypes"); }

QString buildDateTimeText()
{
    const QFileInfo program(QCoreApplication::applicationFilePath());
    if (!program.exists())
        return {};
    const QDateTime when = program.lastModified();
    const QDate date = when.date();
    const QTime time = when.time();
    return QString::fromStdString(formatText("%.4d-%.2d-%.2d %.2d:%.2d:%.2d",
                                             {date.year(), date.month(), date.day(), time.hour(),
                                              time.minute(), time.second()}));
}

} // namespace rvk
