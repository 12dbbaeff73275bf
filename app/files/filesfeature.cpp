#include "app/files/filesfeature.h"

#include "app/files/exportcommands.h"
#include "app/files/mergerwindow.h"
#include "app/files/spreadsheetexchangewindow.h"
#include "app/files/workeropening.h"
#include "app/mainwindow.h"
#include "app/picture/picturefeature.h"
#include "app/settings/allelelistmodel.h"
#include "app/settings/allelepage.h"
#include "app/settings/drawingoptionspage.h"
#include "app/settings/settingsfeature.h"
#include "core/freedmemory.h"
#include "core/platformimport.h"
#include "core/statustexts.h"
#include "settings/recentfiles.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QProgressDialog>
#include <QStandardPaths>

#include <algorithm>
#include <filesystem>
#include <memory>

namespace rvk {

namespace {

QString toQt(const std::string &text) { return QString::fromStdString(text); }

// A caption that shows text as it is: "&" in a path must not become an access key.
QString literalCaption(const std::string &text) { return toQt(text).replace(QLatin1Char('&'), QStringLiteral("&&")); }

} // namespace

FilesFeature::FilesFeature(MainWindow &window) : QObject(&window), mWindow(window) {}

void FilesFeature::addRecentMenu(QMenu *fileMenu)
{
    QMenu *recent = fileMenu->addMenu(QStringLiteral("&Recently opened"));
    for (int i = 0; i < RecentFiles::Count; ++i) {
        mRecentEntries[static_cast<size_t>(i)] = recent->addAction(QString());
        connect(mRecentEntries[static_cast<size_t>(i)], &QAction::triggered, this, [this, i] { openRecent(i); });
    }
}

void FilesFeature::attachCommands()
{
    mWindow.attachCommand(QStringLiteral("&Load RVK data"), [this] { loadRvkData(); });
    mWindow.attachCommand(QStringLiteral("Open RVK file"), [this] { loadRvkData(); });
    mWindow.attachCommand(QStringLiteral("&Close all"), [this] { closeAll(); });

    auto *exports = new ExportCommands(mWindow);
    exports->attach();

    // The secondary windows are made once and live as long as the main window.
    auto *merger = new MergerWindow(mWindow);
    mWindow.attachCommand(QStringLiteral("&Build RVK File.."), [merger] { merger->BuildRvkFile(); });
    mWindow.attachCommand(QStringLiteral("Build RVK file"), [merger] { merger->BuildRvkFile(); });

    auto *exchange = new SpreadsheetExchangeWindow(mWindow);
    mWindow.attachCommand(QStringLiteral("Load/Paste from Excel"), [exchange] { exchange->LoadPasteFromExcel(); });
    mWindow.attachCommand(QStringLiteral("Excel style edit"), [exchange] { exchange->ShowAsGrid(); });
    mWindow.attachCommand(QStringLiteral("Export to Excel"), [exchange] { exchange->ShowAsGrid(); });
    mWindow.attachCommand(QStringLiteral("Excel data exchange"), [exchange] { exchange->ExcelDataExchange(); });
}

// ---------------------------------------------------------------------------------------------
// Opening

LoadOutcome FilesFeature::openFiles(const QStringList &paths)
{
    DisplaySettings &settings = mWindow.displaySettings();
    DataLoader &loader = mWindow.loader();
    // Full paths, so the recent list and the caption name the file wherever the program runs.
    std::vector<std::string> list;
    list.reserve(static_cast<size_t>(paths.size()));
    for (const QString &path : paths)
        list.push_back(QFileInfo(path).absoluteFilePath().toStdString());
    if (!list.empty())
        settings.currentPath = QFileInfo(toQt(list.front())).absolutePath().toStdString() + "/";
    mWindow.picture().clearNoDataSelector();
    // Genotyping-platform files can be large: their reading shows a dialog that can stop it.
    std::unique_ptr<QProgressDialog> reading;
    if (std::any_of(list.begin(), list.end(), [](const std::string &path) { return platformFormatOf(path) != PlatformFormat::None; })) {
        reading = std::make_unique<QProgressDialog>(QStringLiteral("Reading genotypes..."), QStringLiteral("Cancel"), 0, 0, &mWindow);
        reading->setWindowModality(Qt::WindowModal);
        reading->setMinimumDuration(500);
        QProgressDialog *dialog = reading.get();
        loader.setCancelCheck([dialog] {
            QCoreApplication::processEvents();
            return dialog->wasCanceled();
        });
    }
    LoadOutcome outcome;
    if (reading) {
        outcome = loader.OpenFiles(list);
    } else {
        // Data files are read on a worker: the window answers, and "Cancel" keeps what was shown.
        std::string settingsName;
        outcome = OpenDataFilesOnWorker(&mWindow, mWindow.data(), mWindow.userInterface(), list, settingsName);
        if (outcome.cancelled) {
            if (mWindow.data().GroupCount() == 0)
                mWindow.picture().rebuildGroupSelector(false, -1);
            return outcome;
        }
        loader.setDefaultSettingsName(settingsName);
    }
    loader.setCancelCheck({});
    reading.reset();
    takeIntoSettings(outcome);
    applyLoadOutcome(outcome);
    return outcome;
}

void FilesFeature::takeIntoSettings(const LoadOutcome &outcome)
{
    mWindow.alleles().markUsed(outcome.usedCodes);
    if (!outcome.rememberedFile.empty()) {
        bool changed = false;
        std::string error;
        if (!mWindow.recentFiles().remember(outcome.rememberedFile, mWindow.settingsFilePath(), changed, error))
            mWindow.userInterface().warning(error);
    }
    // The data set's own settings come last: their recent list and ticks are the ones that hold.
    if (!outcome.dataSetSettings.empty())
        mWindow.settingsFeature().loadSettingsFile(outcome.dataSetSettings);
}

void FilesFeature::applyLoadOutcome(const LoadOutcome &outcome)
{
    PictureFeature &picture = mWindow.picture();
    const GenotypeData &data = mWindow.data();
    const int groups = data.GroupCount();
    const bool failedFile = !outcome.completed && !outcome.multiGroupFile;
    // After a failed file the last group read stays current.
    picture.rebuildGroupSelector(groups > 0, failedFile ? groups - 1 : (groups > 0 ? 0 : -1));
    if (outcome.groupsAdded > 0)
        picture.followPopulation();
    if (outcome.aliasSection) {
        mWindow.displaySettings().drawing.sideways = true;
        mWindow.drawingOptionsPage()->setOptions(mWindow.displaySettings().drawing);
    }
    if (!outcome.captionPath.empty())
        mWindow.setWindowTitle(QStringLiteral("Display RVK - ") + toQt(outcome.captionPath));
    // Groups read before a failed file are shown and usable like any others.
    if (data.DataLoaded && (outcome.completed || outcome.groupsAdded > 0)) {
        picture.showDataView();
        mWindow.enableDataPages(true);
    }
    // With a single group left by a failed file there is nothing to choose.
    if (failedFile && groups <= 1)
        picture.groupSelector()->setEnabled(false);
    mWindow.allelePage()->model()->usedChanged();
    mWindow.userInterface().setProgress(0, 0);
    if (outcome.groupsAdded > 0)
        emit mWindow.dataSetLoaded();
}

void FilesFeature::openDataFiles(const QStringList &paths)
{
    if (paths.isEmpty())
        return;
    openFiles(paths);
    refreshRecentCaptions();
    switchSelectionFilteringOff();
    mWindow.showPage(MainWindow::ImagePageIndex);
}

void FilesFeature::openStartFiles(const QStringList &paths)
{
    if (!paths.isEmpty()) {
        openFiles(paths);
        refreshRecentCaptions();
    }
    switchSelectionFilteringOff();
}

void FilesFeature::loadRvkData()
{
    const std::vector<std::string> chosen =
        mWindow.userInterface().openFileNames("Open", MainWindow::DataFileFilter, openDialogFolder().toStdString(), true);
    QStringList paths;
    for (const std::string &path : chosen)
        paths.append(toQt(path));
    if (paths.isEmpty())
        return;
    mWindow.displaySettings().currentPath = QFileInfo(paths.first()).absolutePath().toStdString() + "/";
    // A genotyping-platform file chosen alone gets its import choices first.
    const MainWindow::PlatformOptionsChooser &choose = mWindow.platformOptionsChooser();
    if (paths.size() == 1 && platformFormatOf(paths.first().toStdString()) != PlatformFormat::None && choose) {
        const std::optional<PlatformImportOptions> options = choose(paths.first());
        if (!options)
            return;
        mWindow.loader().setPlatformOptions(*options);
        openDataFiles(paths);
        mWindow.loader().setPlatformOptions({});
        return;
    }
    openDataFiles(paths);
}

void FilesFeature::openRecent(int entry)
{
    if (entry < 0 || entry >= RecentFiles::Count)
        return;
    const std::string path = mWindow.recentFiles().entry(entry);
    std::error_code error;
    if (path.empty() || !std::filesystem::is_regular_file(path, error))
        return;
    if (mWindow.data().GroupCount() > 0)
        closeAll();
    openFiles({toQt(path)});
    refreshRecentCaptions();
    switchSelectionFilteringOff();
}

void FilesFeature::dragEnter(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void FilesFeature::drop(QDropEvent *event)
{
    QStringList paths;
    for (const QUrl &url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    event->acceptProposedAction();
    openDataFiles(paths);
}

// ---------------------------------------------------------------------------------------------
// Closing and replacing

void FilesFeature::closeAll()
{
    PictureFeature &picture = mWindow.picture();
    picture.showNoDataSelector();
    mWindow.loader().Reset();
    mWindow.alleles().clearUsed();
    mWindow.data().CurrentIndividual = 1;
    picture.showNoData();
    mWindow.setStatusText(0, toQt(emptyDataSummaryText()));
    // The title and the core subset's "Opt. val" named the closed data set.
    mWindow.setStatusText(1, QString());
    mWindow.setWindowTitle(QStringLiteral("Display RVK 2.0"));
    mWindow.allelePage()->model()->usedChanged();
    emit mWindow.dataSetClosed();
    // The features dropped what they had computed from the data set: its memory goes back.
    returnFreedMemory();
}

void FilesFeature::dataSetReplaced()
{
    GenotypeData &data = mWindow.data();
    PictureFeature &picture = mWindow.picture();
    // The replaced data set goes as with "Close all" before the new one is shown: the features
    // let go of their results, the picture and the allele list of its codes.
    picture.forgetPicture();
    mWindow.setStatusText(1, QString());
    CodeSet used;
    for (int k = 0; k < data.GroupCount(); ++k)
        for (const Tlocinfo &locus : data.GroupLoci(k))
            markCodes(locus.Genotypes, used);
    mWindow.alleles().clearUsed();
    mWindow.alleles().markUsed(used);
    emit mWindow.dataSetClosed();
    returnFreedMemory();

    const int groups = data.GroupCount();
    picture.rebuildGroupSelector(groups > 0, groups > 0 ? 0 : -1);
    picture.followPopulation();
    mWindow.allelePage()->model()->usedChanged();
    if (groups == 0)
        return;
    mWindow.enableDataPages(true);
    picture.showDataView();
    emit mWindow.dataSetLoaded();
}

// ---------------------------------------------------------------------------------------------
// Recent list and folders

void FilesFeature::refreshRecentCaptions()
{
    for (int i = 0; i < RecentFiles::Count; ++i)
        mRecentEntries[static_cast<size_t>(i)]->setText(literalCaption(mWindow.recentFiles().entry(i)));
}

void FilesFeature::switchSelectionFilteringOff()
{
    mWindow.data().Selectionyesno = false;
    for (QAction *action : mWindow.commandActions(QStringLiteral("&Apply Selection Filtering")))
        action->setChecked(false);
}

QString FilesFeature::openDialogFolder() const
{
    // The folder of the data opened last (kept by the settings from run to run), else the user's
    // documents folder; the program's own folder, the first start's value, is no data folder.
    const DisplaySettings &settings = mWindow.displaySettings();
    const QFileInfo folder(toQt(settings.currentPath));
    if (!settings.currentPath.empty() && folder.isDir()
        && QDir::cleanPath(folder.absoluteFilePath()) != QDir::cleanPath(QFileInfo(toQt(settings.programFolder)).absoluteFilePath()))
        return QDir::cleanPath(folder.absoluteFilePath());
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

} // namespace rvk
