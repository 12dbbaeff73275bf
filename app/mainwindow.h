#pragma once

#include "core/dataloader.h"
#include "core/genotypedata.h"
#include "settings/recentfiles.h"
#include "render/drawcontext.h"
#include "render/pointerinspection.h"
#include "render/viewpicture.h"
#include "settings/displaysettings.h"
#include "settings/generaloptions.h"

#include <QMainWindow>
#include <QStringList>
#include <QList>
#include <QUrl>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QActionGroup;
class QButtonGroup;
class QComboBox;
class QLabel;
class QMenu;
class QPagedPaintDevice;
class QPrinter;
class QProgressBar;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QTimer;

namespace rvk {

class AllelePage;
class DrawingOptionsPage;
class ImagePage;
class PrintPreviewPage;
class IndividualField;
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

// The one main window: pages, menu, tool bar and status bar, routing every command to the
// logic that carries it out.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    enum Page { ImagePageIndex, DataViewPage, MarkerSelectionPage, SelectionResultsPage, AssociationsPage,
                LdPage, DistancesPage, SettingsPage, PrintPreviewPageIndex, PageCount };
    enum ViewMode { LinkageGroupMode, IndividualMode, AllInOneMode, AssociationMode };
    static constexpr int StatusPanelCount = 5;

    // ui answers messages, questions and file choices; without one the window uses dialogs.
    explicit MainWindow(const MainWindowOptions &options = {}, UserInterface *ui = nullptr,
                        QWidget *parent = nullptr);
    ~MainWindow() override;

    GenotypeData &data() { return mData; }
    AlleleTable &alleles() { return mSettings.alleles; }
    DisplaySettings &displaySettings() { return mSettings; }
    RecentFiles &recentFiles() { return mRecent; }
    UserInterface &userInterface() { return *mUi; }
    // The loader of every open (dialog, drop, recent list, command line, import features).
    DataLoader &loader() { return mLoader; }
    // Asked for the import choices of a genotyping-platform file picked in the open dialog;
    // nothing cancels its opening.
    using PlatformOptionsChooser = std::function<std::optional<PlatformImportOptions>(const QString &path)>;
    void setPlatformOptionsChooser(PlatformOptionsChooser chooser) { mChoosePlatformOptions = std::move(chooser); }
    // The open dialog's choices: the program's data files first, then genotyping-platform files.
    static constexpr const char *DataFileFilter =
        "RVK file (*.rvk)|*.rvk|VCF, BCF and HapMap files (*.vcf *.vcf.gz *.bcf *.hmp.txt)|*.vcf;*.vcf.gz;*.bcf;*.hmp.txt";

    QTabWidget *pages() const { return mPages; }
    ImagePage *imagePage() const { return mImagePage; }
    QComboBox *groupSelector() const { return mGroupSelector; }
    QString statusText(int panel) const;
    ViewMode viewMode() const { return mViewMode; }
    bool firstActivationPending() const { return mFirstActivation; }

    // Opening web pages and documents; replaceable so that nothing is launched under test.
    void setUrlOpener(std::function<bool(const QUrl &)> opener) { mOpenUrl = std::move(opener); }

    // Named operations behind the commands, for the menu, the tool bar and the tests.
    void openDataFiles(const QStringList &paths);   // open, then the follow-up of the open dialog
    void loadRvkData();                             // "&Load RVK data"
    void openRecent(int entry);                     // "&Recently opened", entry 0..2
    void closeAll();                                // "&Close all"
    void setViewMode(ViewMode mode);
    void RadioGroup1Click();
    void redrawbtnClick();
    void setColorMode(DrawingOptions::ColorMode mode); // "Color drawing" / "B&&W drawing"
    // What the painters need from the controls, collected so no painter reads a widget.
    DrawContext drawContext() const;
    // The zoom menu: tag 1, 2, 5, 10 (100 %), 20, 50, 100 or 200 tenths.
    void zoomTo(int tag);
    double zoomFactor() const { return mZoomFactor; }
    // The recorded picture of the last drawing, for printing and export.
    const ViewPicture &viewPicture() const { return mViewPicture; }
    // The picture commands: files, clipboard, printer.
    void saveImageAsMetafile();
    void saveImageAsJpeg();
    void copyImageToClipboard();
    void printerSetup();
    void printDrawing();
    // Prints the current view on one page of device (the printer, or a PDF writer).
    void printTo(QPagedPaintDevice &device);
    // The printer the print commands use, made when first needed (finding printers takes time).
    QPrinter &printer();
    // The page "Print Preview" cut from the current picture, and its "  Print ".
    void buildPrintPreview();
    void printPreview();
    PrintPreviewPage *previewPage() const { return mPreviewPage; }
    void showSettingsPage(int subPage); // 0 "Allele && General options", 1 "Drawing options"
    void saveSettingsAs();              // "Save Settings.."
    void loadSettingsFrom();            // "Load Settings.."
    // The general options as the page shows them, read by an analysis when it runs.
    GeneralOptions generalOptions() const;
    AllelePage *allelePage() const { return mAllelePage; }
    DrawingOptionsPage *drawingOptionsPage() const { return mDrawingPage; }
    void previousGroup();
    void nextGroup();
    // The "Ind:" field: a step (skipping unselected individuals) or a typed number with Enter.
    void stepIndividual(StepDirection direction);
    void enterIndividual(const QString &text);
    // The pointer on the picture, in picture pixels.
    void pointerMovedOnPicture(QPoint position);
    void pointerClickedOnPicture(QPoint position, Qt::MouseButton button);
    void showWhatsNew();
    // "Set as Default", and closing the window: the settings in force become the next start's.
    void storeDefaultSettings();
    void showManual();

    // Commands, pages and features that live in classes of their own attach through these, so
    // the window stays the shell that routes to them.
    // Connects every menu entry whose caption is caption, and every tool button whose hint is
    // caption, to handler and enables them.
    void attachCommand(const QString &caption, const std::function<void()> &handler);
    QList<QAction *> commandActions(const QString &caption) const;
    // Puts widget on a page in place of its empty one (the window owns it from then on).
    void setPageWidget(Page page, QWidget *widget);
    QWidget *pageWidget(Page page) const;
    void showPage(Page page);
    void setStatusText(int panel, const QString &text);
    // Redraws the current view if data are loaded and the image page is the one shown.
    void redrawIfShown();
    // The pages "Data Sort, View, Edit", "Marker Selection" and "Select Indiv. && Sel. Results"
    // and the menu commands that show them.
    void enableDataPages(bool enabled);
    // Puts the marker-name space an autosized view measured into "Space for markernames:".
    void showAutosizedMarkSpace(int markSpace);
    // Shows a picture drawn by a feature (the comparison of individuals) on the image page; it
    // is the picture printed and exported until the next drawing.
    void showPicture(ViewPicture picture);
    // Shows the association plot (or a trait's LD plot) in the view "Association"; the pointer
    // then names the plotted traits, and a click on a trait's row emits traitClickedOnPicture.
    // rowTops/rowBottoms: the drawn trait rows in the picture, in the order of plottedTraits.
    void showAssociationPicture(ViewPicture picture, std::vector<std::string> plottedTraits, std::vector<int> rowTops = {},
                                std::vector<int> rowBottoms = {});
    // "Skip unselected individuals in drawing": unselected individuals take no place.
    void setSkipUnselected(bool skip) { mSkipUnselected = skip; }
    // The default settings file, where the recent list is kept.
    const std::string &settingsFilePath() const { return mSettingsFile; }
    // The recent list changed outside an open (a save): its menu entries follow.
    void recentFilesChanged() { refreshRecentCaptions(); }
    // The data set was replaced outside an open (an import from the exchange grid): announced
    // as closed and then as loaded, so the features drop what they computed from the old one;
    // the group selector, the range fields, the data pages and the current view follow it.
    void dataSetReplaced();

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
    // Creates the features that attach themselves to the window (statistics windows, selection
    // pages, data editing and exchange).
    void installFeatures();
    // The picture export dialog with its choices, then the format of the chosen name.
    void saveImageAs(const char *filter, const char *defaultExtension);
    QAction *addCommand(QMenu *menu, const QString &caption, void (MainWindow::*slot)() = nullptr);

    // The loader's report turned into the window's state: selector, range fields, caption, pages.
    // Hands what a load found to the settings: the codes used, the file for the recent list and
    // the data set's own settings file.
    void takeIntoSettings(const LoadOutcome &outcome);
    void applyLoadOutcome(const LoadOutcome &outcome);
    // The view after new data: the current one, or the linkage groups instead of the association plot.
    void showDataView();
    LoadOutcome openFiles(const QStringList &paths);
    void afterOpenDialog();
    void refreshRecentCaptions();
    void switchSelectionFilteringOff();
    void rebuildGroupSelector(bool enabled, int current);
    void showNoDataSelector();
    void updateModePanels();
    void drawCurrentView();
    void showViewPicture(const ViewPicture &picture);
    void firstActivation();

    void loadDefaultSettings();
    void loadSettingsFile(const std::string &path);
    QString openDialogFolder() const;

    QString programFile(const QString &name) const;

    MainWindowOptions mOptions;
    std::string mSettingsFile;
    std::unique_ptr<QtUserInterface> mOwnUi;
    UserInterface *mUi;

    GenotypeData mData;
    DisplaySettings mSettings;
    RecentFiles mRecent;
    DataLoader mLoader;

    ViewMode mViewMode = LinkageGroupMode;
    bool mFirstActivation = true;
    QTimer *mResizeRedraw = nullptr;
    PlatformOptionsChooser mChoosePlatformOptions;
    double mZoomFactor = 1.0;
    ViewPicture mViewPicture;
    std::unique_ptr<QPrinter> mPrinter; // made when first needed: finding printers takes time
    std::optional<PointerLayout> mPointerLayout; // how the last picture was laid out
    bool mSkipUnselected = true;
    std::vector<std::string> mPlottedTraits; // of the association plot shown

    QTabWidget *mPages = nullptr;
    ImagePage *mImagePage = nullptr;
    QTabWidget *mSettingsPages = nullptr;
    AllelePage *mAllelePage = nullptr;
    DrawingOptionsPage *mDrawingPage = nullptr;
    PrintPreviewPage *mPreviewPage = nullptr;
    int mShownPage = 0;
    QButtonGroup *mViewModeButtons = nullptr;
    QComboBox *mGroupSelector = nullptr;
    IndividualField *mIndividualField = nullptr;
    QAction *mIndividualBrowser = nullptr;
    QSpinBox *mFirstShown = nullptr;
    QSpinBox *mLastShown = nullptr;
    QAction *mRangePanel = nullptr;
    std::array<QAction *, 3> mViewTools{};
    std::array<QAction *, RecentFiles::Count> mRecentEntries{};
    QAction *mApplyFiltering = nullptr;
    QAction *mColourTool = nullptr;
    QAction *mBlackAndWhiteTool = nullptr;
    std::array<QLabel *, StatusPanelCount - 1> mStatusPanels{};
    QProgressBar *mProgressBar = nullptr;

    std::function<bool(const QUrl &)> mOpenUrl;
};

} // namespace rvk
