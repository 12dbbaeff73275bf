#include "app/files/exportcommands.h"

#include "app/mainwindow.h"
#include "core/datafilewriter.h"
#include "io/locusfileexport.h"
#include "io/mapchartexport.h"
#include "io/megaexport.h"

#include <QDate>
#include <QDesktopServices>

namespace rvk {

ExportCommands::ExportCommands(MainWindow &window)
    : QObject(&window),
      mWindow(window),
      mOpenFile([](const QUrl &url) { return QDesktopServices::openUrl(url); })
{
    setObjectName(QStringLiteral("ExportCommands"));
}

void ExportCommands::attach()
{
    mWindow.attachCommand(QStringLiteral("Sa&ve RVK data"), [this] { SaveDataFile(); });
    mWindow.attachCommand(QStringLiteral("Export as &Locus data (.loc)"), [this] { ExportLocusFile(); });
    mWindow.attachCommand(QStringLiteral("Create M&EGA datafile"), [this] { ExportMega(); });
    mWindow.attachCommand(QStringLiteral("Create &Mapchart data"), [this] { ExportMapChart(); });
}

std::string ExportCommands::today() { return QDate::currentDate().toString(Qt::ISODate).toStdString(); }

std::string ExportCommands::SaveDataFile()
{
    DataFileWriter writer(mWindow.data(), mWindow.userInterface());
    const std::string written = writer.SaveDataFile([this](const std::string &path) {
        bool changed = false;
        std::string error;
        if (!mWindow.recentFiles().remember(path, mWindow.settingsFilePath(), changed, error))
            mWindow.userInterface().warning(error);
    });
    if (!written.empty())
        mWindow.recentFilesChanged();
    return written;
}

std::string ExportCommands::ExportLocusFile()
{
    return LocusFileExport(mWindow.data(), mWindow.userInterface()).ExportLocusFile();
}

std::string ExportCommands::ExportMega() { return MegaExport(mWindow.data(), mWindow.userInterface()).ExportMega(); }

std::string ExportCommands::ExportMapChart()
{
    const DrawingOptions &drawing = mWindow.displaySettings().drawing;
    MapChartExport::Options options;
    options.footerText = drawing.Customtext;
    options.fontName = drawing.markerFont.name;
    options.fontSize = drawing.markerFont.size;
    options.date = today();
    const std::string written = MapChartExport(mWindow.data(), mWindow.alleles(), mWindow.userInterface())
                                    .ExportMapChart(mWindow.viewMode() == MainWindow::IndividualMode, options);
    if (!written.empty())
        mOpenFile(QUrl::fromLocalFile(QString::fromStdString(written)));
    return written;
}

} // namespace rvk
