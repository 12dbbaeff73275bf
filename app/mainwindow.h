#pragma once

#include "app/files/filesfeature.h"
#include "app/picture/picturefeature.h"
#include "app/settings/settingsfeature.h"
#include "core/dataloader.h"
#include "core/genotypedata.h"
#include "settings/displaysettings.h"
#include "settings/generaloptions.h"
#include "settings/recentfiles.h"

#include <QList>
#include <QMainWindow>
#include <QStringList>
#include <QUrl>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPagedPaintDevice;
class QPrinter;
class QProgressBar;
class QTabWidget;

namespace rvk {

class AllelePage;
class DrawingOptionsPage;
class ImagePage;
class PrintPreviewPage;
class QtUserInterface;

struct MainWindowOptions
{
    // Data files named on the command line, opened together at the first activation.
    QStringList startFiles;
    // Folder of the program's own files ("whatsnew.txt", the default recent entries), ending
    // in "/". Empty: the folder of the running program.
    std::string programFolder;
    // The default settings file, read at start and written on exit. Empty: "rvk.ini" in the
    // usual place.
    std::string settingsFile;
};

// The one main window: the frame of pages, menus, tool bar and status bar that the features
// attach their commands and pages to. It holds the data set and the settings every feature
// works on; the picture, the files and the settings are features of their own (app/picture,
// app/files, app/settings) like the analyses.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    enum Page { ImagePageIndex, DataViewPage, MarkerSelectionPage, SelectionResultsPage, AssociationsPage,
                LdPage, DistancesPage, SettingsPage, PrintPreviewPageIndex, PageCount };
    using ViewMode = PictureFeature::ViewMode;
    static constexpr ViewMode LinkageGroupMode = PictureFeature::LinkageGroupMode;
    static constexpr ViewMode IndividualMode = PictureFeature::IndividualMode;
    static constexpr ViewMode AllInOneMode = PictureFeature::AllInOneMode;
    static constexpr ViewMode AssociationMode = PictureFeature::AssociationMode;
    static constexpr int StatusPanelCount = 5;

    // ui answers messages, questions and file choices; without one the window uses dialogs.
    explicit MainWindow(const MainWindowOptions &options = {}, UserInterface *ui = nullptr,
                        QWidget *parent = nullptr);
    ~MainWindow() override;

    GenotypeData &data() { return mData; }
    AlleleTable &alleles() { return mSettings.alleles; }
    DisplaySettings &displaySettings() { return mSettings; }
    const DisplaySettings &displaySettings() const { return mSettings; }
    RecentFiles &recentFiles() { return mRecent; }
    UserInterface &userInterface() { return *mUi; }
    // The loader of every open (dialog, drop, recent list, command line, import features).
    DataLoader &loader() { return mLoader; }
    // Asked for the import choices of a genotyping-platform file picked in the open dialog;
    // nothing cancels its opening.
    using PlatformOptionsChooser = std::function<std::optional<PlatformImportOptions>(const QString &path)>;
    void setPlatformOptionsChooser(PlatformOptionsChooser chooser) { mChoosePlatformOptions = std::move(chooser); }
    const PlatformOptionsChooser &platformOptionsChooser() const { return mChoosePlatformOptions; }
    // The open dialog's choices: the program's data files first, then genotyping-platform files.
    static constexpr const char *DataFileFilter =
        "RVK file (*.rvk)|*.rvk|VCF, BCF and HapMap files (*.vcf *.vcf.gz *.bcf *.hmp.txt)|*.vcf;*.vcf.gz;*.bcf;*.hmp.txt";

    // The features the frame is built with.
    PictureFeature &picture() const { return *mPicture; }
    FilesFeature &files() const { return *mFiles; }
    SettingsFeature &settingsFeature() const { return *mSettingsFeature; }

    QTabWidget *pages() const { return mPages; }
    ImagePage *imagePage() const { return mPicture->imagePage(); }
    QComboBox *groupSelector() const { return mPicture->groupSelector(); }
    QString statusText(int panel) const;
    ViewMode viewMode() const { return mPicture->viewMode(); }
    bool firstActivationPending() const { return mFirstActivation; }

    // Opening web pages and documents; replaceable so that nothing is launched under test.
    void setUrlOpener(std::function<bool(const QUrl &)> opener) { mOpenUrl = std::move(opener); }

    // Named operations behind the commands, for the menu, the tool bar and the tests; each is
    // carried out by its feature.
    void openDataFiles(const QStringList &paths) { mFiles->openDataFiles(paths); } // open, then the follow-up of the open dialog
    void loadRvkData() { mFiles->loadRvkData(); }                                   // "&Load RVK data"
    void openRecent(int entry) { mFiles->openRecent(entry); }                       // "&Recently opened", entry 0..2
    void closeAll() { mFiles->closeAll(); }                                         // "&Close all"
    void setViewMode(ViewMode mode) { mPicture->setViewMode(mode); }
    void RadioGroup1Click() { mPicture->RadioGroup1Click(); }
    void redrawbtnClick() { mPicture->redrawbtnClick(); }
    void setColorMode(DrawingOptions::ColorMode mode) { mPicture->setColorMode(mode); } // "Color drawing" / "B&&W drawing"
    // What the painters need from the controls, collected so no painter reads a widget.
    DrawContext drawContext() const { return mPicture->drawContext(); }
    // The zoom menu: tag 1, 2, 5, 10 (100 %), 20, 50, 100 or 200 tenths.
    void zoomTo(int tag) { mPicture->zoomTo(tag); }
    double zoomFactor() const { return mPicture->zoomFactor(); }
    // The recorded picture of the last drawing, for printing and export.
    const ViewPicture &viewPicture() const { return mPicture->viewPicture(); }
    // The picture commands: files, clipboard, printer.
    void saveImageAsMetafile() { mPicture->saveImageAsMetafile(); }
    void saveImageAsJpeg() { mPicture->saveImageAsJpeg(); }
    void copyImageToClipboard() { mPicture->copyImageToClipboard(); }
    void printerSetup() { mPicture->printerSetup(); }
    void printDrawing() { mPicture->printDrawing(); }
    // Prints the current view on one page of device (the printer, or a PDF writer).
    void printTo(QPagedPaintDevice &device) { mPicture->printTo(device); }
    // The printer the print commands use, made when first needed (finding printers takes time).
    QPrinter &printer() { return mPicture->printer(); }
    // The page "Print Preview" cut from the current picture, and its "  Print ".
    void buildPrintPreview() { mPicture->buildPrintPreview(); }
    void printPreview() { mPicture->printPreview(); }
    PrintPreviewPage *previewPage() const { return mPicture->previewPage(); }
    void showSettingsPage(int subPage) { mSettingsFeature->showSettingsPage(subPage); } // 0 "Allele && General options", 1 "Drawing options"
    void saveSettingsAs() { mSettingsFeature->saveSettingsAs(); }                        // "Save Settings.."
    void loadSettingsFrom() { mSettingsFeature->loadSettingsFrom(); }                    // "Load Settings.."
    // The general options as the page shows them, read by an analysis when it runs.
    GeneralOptions generalOptions() const;
    AllelePage *allelePage() const { return mSettingsFeature->allelePage(); }
    DrawingOptionsPage *drawingOptionsPage() const { return mSettingsFeature->drawingOptionsPage(); }
    void previousGroup() { mPicture->previousGroup(); }
    void nextGroup() { mPicture->nextGroup(); }
    // The "Ind:" field: a step (skipping unselected individuals) or a typed number with Enter.
    void stepIndividual(StepDirection direction) { mPicture->stepIndividual(direction); }
    void enterIndividual(const QString &text) { mPicture->enterIndividual(text); }
    // The pointer on the picture, in picture pixels.
    void pointerMovedOnPicture(QPoint position) { mPicture->pointerMovedOnPicture(position); }
    void pointerClickedOnPicture(QPoint position, Qt::MouseButton button) { mPicture->pointerClickedOnPicture(position, button); }
    void showWhatsNew();
    // "Set as Default", and closing the window: the settings in force become the next start's.
    void storeDefaultSettings() { mSettingsFeature->storeDefaultSettings(); }
    void showManual();

    // Commands, pages and features that live in classes of their own attach through these, so
    // the window stays the shell that routes to them.
    // Connects every menu entry whose caption is caption, and every tool button whose hint is
    // caption, to handler and enables them.
    void attachCommand(const QString &caption, const std::function<void()> &handler);
    QList<QAction *> commandActions(const QString &caption) const;
    // Carries out the command of that caption, as its menu entry would.
    void runCommand(const QString &caption);
    // Puts widget on a page in place of its empty one (the window owns it from then on).
    void setPageWidget(Page page, QWidget *widget);
    QWidget *pageWidget(Page page) const;
    void showPage(Page page);
    void setStatusText(int panel, const QString &text);
    // Redraws the current view if data are loaded and the image page is the one shown.
    void redrawIfShown() { mPicture->redrawIfShown(); }
    // The pages "Data Sort, View, Edit", "Marker Selection" and "Select Indiv. && Sel. Results"
    // and the menu commands that show them.
    void enableDataPages(bool enabled);
    // Puts the marker-name space an autosized view measured into "Space for markernames:".
    void showAutosizedMarkSpace(int markSpace) { mPicture->showAutosizedMarkSpace(markSpace); }
    // Shows a picture drawn by a feature (the comparison of individuals) on the image page; it
    // is the picture printed and exported until the next drawing.
    void showPicture(ViewPicture picture) { mPicture->showPicture(std::move(picture)); }
    // Shows the association plot (or a trait's LD plot) in the view "Association"; the pointer
    // then names the plotted traits, and a click on a trait's row emits traitClickedOnPicture.
    // rowTops/rowBottoms: the drawn trait rows in the picture, in the order of plottedTraits.
    void showAssociationPicture(ViewPicture picture, std::vector<std::string> plottedTraits, std::vector<int> rowTops = {},
                                std::vector<int> rowBottoms = {})
    {
        mPicture->showAssociationPicture(std::move(picture), std::move(plottedTraits), std::move(rowTops), std::move(rowBottoms));
    }
    // "Skip unselected individuals in drawing": unselected individuals take no place.
    void setSkipUnselected(bool skip) { mPicture->setSkipUnselected(skip); }
    // The default settings file, where the recent list is kept.
    const std::string &settingsFilePath() const { return mSettingsFile; }
    // The recent list changed outside an open (a save): its menu entries follow.
    void recentFilesChanged() { mFiles->refreshRecentCaptions(); }
    // The data set was replaced outside an open (an import from the exchange grid): announced
    // as closed and then as loaded, so the features drop what they computed from the old one;
    // the group selector, the range fields, the data pages and the current view follow it.
    void dataSetReplaced() { mFiles->dataSetReplaced(); }

signals:
    // After an open that registered groups, and after "Close all".
    void dataSetLoaded();
    void dataSetClosed();
    // After the individuals were reordered or their ticks changed by a feature.
    void individualsChanged();
    // After every drawing of the current view.
    void viewDrawn();
    // The page shown changed: from oldPage to newPage.
    void pageChanged(int newPage, int oldPage);
    // A trait row of the association plot was clicked (index among the plotted traits).
    void traitClickedOnPicture(int trait);

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void buildPages();
    void buildMenus();
    void buildToolBar();
    void buildStatusBar();
    // Creates the features that attach themselves to the window.
    void installFeatures();
    QAction *addCommand(QMenu *menu, const QString &caption);
    void firstActivation();

    MainWindowOptions mOptions;
    std::string mSettingsFile;
    std::unique_ptr<QtUserInterface> mOwnUi;
    UserInterface *mUi;

    GenotypeData mData;
    DisplaySettings mSettings;
    RecentFiles mRecent;
    DataLoader mLoader;

    bool mFirstActivation = true;
    PlatformOptionsChooser mChoosePlatformOptions;
    int mShownPage = 0;

    QTabWidget *mPages = nullptr;
    PictureFeature *mPicture = nullptr;
    FilesFeature *mFiles = nullptr;
    SettingsFeature *mSettingsFeature = nullptr;
    std::array<QLabel *, StatusPanelCount - 1> mStatusPanels{};
    QProgressBar *mProgressBar = nullptr;

    std::function<bool(const QUrl &)> mOpenUrl;
};

} // namespace rvk
