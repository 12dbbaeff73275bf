#pragma once

#include "core/dataloader.h"

#include <QObject>
#include <QStringList>

#include <array>

class QAction;
class QDragEnterEvent;
class QDropEvent;
class QMenu;

namespace rvk {

class MainWindow;

// Opening and closing data sets: the open dialog, the recent list, files dropped on the window
// or named on the command line, "&Close all", and a data set replaced by an import. Also brings
// the exports, the locus/map merger and the spreadsheet exchange to the window.
class FilesFeature : public QObject
{
    Q_OBJECT

public:
    explicit FilesFeature(MainWindow &window);

    // The submenu "&Recently opened" with its three entries.
    void addRecentMenu(QMenu *fileMenu);
    // Attaches the file commands and makes the export, merger and exchange windows.
    void attachCommands();

    // Reads the files into the data set and brings the settings and the window up to date: the
    // one way data files are opened (dialog, drop, recent list, command line).
    LoadOutcome openFiles(const QStringList &paths);
    // Opens, then follows up as the open dialog does: recent captions, filtering off, the picture.
    void openDataFiles(const QStringList &paths);
    // The files named on the command line, at the first activation.
    void openStartFiles(const QStringList &paths);
    void dragEnter(QDragEnterEvent *event);
    void drop(QDropEvent *event);
    void loadRvkData();          // "&Load RVK data"
    void openRecent(int entry);  // "&Recently opened", entry 0..2
    void closeAll();             // "&Close all"
    void dataSetReplaced();
    void refreshRecentCaptions();
    void switchSelectionFilteringOff();
    // Where the open dialogs start: the folder of the data opened last, else the documents.
    QString openDialogFolder() const;

private:
    // Hands what a load found to the settings: the codes used, the file for the recent list and
    // the data set's own settings file.
    void takeIntoSettings(const LoadOutcome &outcome);
    // The loader's report turned into the window's state: selector, range fields, caption, pages.
    void applyLoadOutcome(const LoadOutcome &outcome);

    MainWindow &mWindow;
    std::array<QAction *, 3> mRecentEntries{};
};

} // namespace rvk
