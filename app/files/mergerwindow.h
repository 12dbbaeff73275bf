#pragma once

#include "io/locusmapmerger.h"

#include <QDialog>

#include <functional>

class QAbstractListModel;
class QCheckBox;
class QListView;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace rvk {

class MainWindow;

// The window "Build RVK file ": map files and a locus file merged into data files. The merger
// itself keeps the state (entries, locus lines, results); the window shows it and calls its
// commands. It is created once and shown modally by "&Build RVK File..".
class MergerWindow : public QDialog
{
    Q_OBJECT

public:
    explicit MergerWindow(MainWindow &window);
    ~MergerWindow() override;

    LocusMapMerger &merger() { return mMerger; }

    // "&Build RVK File..": shows the window; when it closes after a merge, the file the merge
    // reported as written is opened like one chosen in the open dialog.
    void BuildRvkFile();

    // The buttons.
    void loadMarkerMaps();
    void loadLocusData();
    void mergeData();
    void resetMerger();

    bool separateFiles() const;
    void setSeparateFiles(bool on);
    // Whether a merge wrote files during the present showing.
    bool mergedThisVisit() const { return mMergedThisVisit; }

    QString unmodifiedText() const;
    QString modifiedText() const;
    // Map entries as listed: text, and whether the entry is ticked.
    int entryCount() const;

    // How the window runs modally; replaceable so tests can drive it without an event loop.
    void setModalRunner(std::function<void(QDialog &)> runner) { mRunModal = std::move(runner); }

private:
    void refresh();

    MainWindow &mWindow;
    LocusMapMerger mMerger;
    bool mMergedThisVisit = false;
    std::function<void(QDialog &)> mRunModal;

    QAbstractListModel *mEntryModel = nullptr;
    QListView *mEntryList = nullptr;
    QTabWidget *mPages = nullptr;
    QPlainTextEdit *mUnmodified = nullptr;
    QPlainTextEdit *mModified = nullptr;
    QCheckBox *mSeparateFiles = nullptr;
    QPushButton *mLoadMapsButton = nullptr;
    QPushButton *mLoadLocusButton = nullptr;
    QPushButton *mMergeButton = nullptr;
};

} // namespace rvk
