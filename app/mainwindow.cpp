#include "app/mainwindow.h"

#include "app/aboutbox.h"
#include "app/features.h"
#include "app/qtuserinterface.h"
#include "app/settings/allelepage.h"
#include "app/settings/generaloptionspanel.h"
#include "app/toolicons.h"
#include "settings/programpaths.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>

namespace rvk {

MainWindow::MainWindow(const MainWindowOptions &options, UserInterface *ui, QWidget *parent)
    : QMainWindow(parent),
      mOptions(options),
      mOwnUi(ui ? nullptr : std::make_unique<QtUserInterface>(this)),
      mUi(ui ? ui : mOwnUi.get()),
      mSettings(options.programFolder.empty() ? programDirectory() : options.programFolder),
      mRecent(mSettings.recentFiles),
      mLoader(mData, *mUi),
      mOpenUrl([](const QUrl &url) { return QDesktopServices::openUrl(url); })
{
    if (mOptions.programFolder.empty())
        mOptions.programFolder = programDirectory();
    mSettingsFile = mOptions.settingsFile.empty() ? defaultSettingsFilePath() : mOptions.settingsFile;

    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("Display RVK 2.0"));
    setWindowIcon(QApplication::windowIcon());
    setAcceptDrops(true);
    resize(1000, 720);

    // The frame first; the picture, the files and the settings fill its pages and bars.
    buildPages();
    mSettingsFeature = new SettingsFeature(*this);
    mPicture = new PictureFeature(*this);
    mFiles = new FilesFeature(*this);
    buildMenus();
    buildToolBar();
    buildStatusBar();
    if (mOwnUi) {
        mOwnUi->setProgressBar(mProgressBar);
        mOwnUi->setStartFolder([this] { return mFiles->openDialogFolder(); });
    }
    mPages->setCurrentIndex(ImagePageIndex);

    mSettingsFeature->loadDefaultSettings();
    mFiles->refreshRecentCaptions();
    installFeatures();
}

MainWindow::~MainWindow() = default;

void MainWindow::installFeatures()
{
    mPicture->attachCommands();
    mFiles->attachCommands();
    attachCommand(QStringLiteral("Allele && General options"), [this] { showSettingsPage(0); });
    attachCommand(QStringLiteral("Drawing options"), [this] { showSettingsPage(1); });
    installStatisticsFeature(*this);
    installSelectionFeature(*this);
    installDataEditingFeature(*this);
    installAssociationFeature(*this);
    installPlatformImportFeature(*this);
    installLdFeature(*this);
    installDistanceFeature(*this);
    installCoreSubsetFeature(*this);
    installBackcrossFeature(*this);
    installPanelFeature(*this);
    installQtlFeature(*this);
    // The commands that lead to the data pages wait for data, as the pages do.
    enableDataPages(false);
}

void MainWindow::enableDataPages(bool enabled)
{
    for (int page : {DataViewPage, SelectionResultsPage, MarkerSelectionPage})
        mPages->setTabEnabled(page, enabled);
    for (const QString &caption : {QStringLiteral("&Specify Criteria.."), QStringLiteral("&View Criteria and Results"),
                                   QStringLiteral("Edit && Sort data")})
        for (QAction *action : commandActions(caption))
            action->setEnabled(enabled);
}

QList<QAction *> MainWindow::commandActions(const QString &caption) const
{
    QList<QAction *> found;
    for (QAction *action : findChildren<QAction *>())
        if (action->text() == caption) // tool buttons carry their hint as text too
            found.append(action);
    return found;
}

void MainWindow::attachCommand(const QString &caption, const std::function<void()> &handler)
{
    for (QAction *action : commandActions(caption)) {
        action->setEnabled(true);
        connect(action, &QAction::triggered, this, [handler] { handler(); });
    }
}

void MainWindow::runCommand(const QString &caption)
{
    const QList<QAction *> actions = commandActions(caption);
    if (!actions.isEmpty())
        actions.first()->trigger();
}

void MainWindow::setPageWidget(Page page, QWidget *widget)
{
    QWidget *old = mPages->widget(page);
    const QString caption = mPages->tabText(page);
    const bool enabled = mPages->isTabEnabled(page);
    const QSignalBlocker blocker(mPages);
    const int current = mPages->currentIndex();
    mPages->removeTab(page);
    mPages->insertTab(page, widget, caption);
    mPages->setTabEnabled(page, enabled);
    mPages->setCurrentIndex(current);
    delete old;
}

QWidget *MainWindow::pageWidget(Page page) const { return mPages->widget(page); }

void MainWindow::showPage(Page page) { mPages->setCurrentIndex(page); }

GeneralOptions MainWindow::generalOptions() const { return allelePage()->generalOptions()->options(); }

// ---------------------------------------------------------------------------------------------
// Building the frame

void MainWindow::buildPages()
{
    mPages = new QTabWidget;
    mPages->setObjectName(QStringLiteral("PageControl"));
    const QStringList captions = {
        QStringLiteral("RVK Image"), QStringLiteral("Data Sort, View, Edit"), QStringLiteral("Marker Selection"),
        QStringLiteral("Select Indiv. && Sel. Results"), QStringLiteral("Associations"), QStringLiteral("LD "),
        QStringLiteral("Genetic Distances"), QStringLiteral("Settings"), QStringLiteral("Print Preview")};
    // Every page is empty until its feature puts its own in place.
    for (int page = 0; page < PageCount; ++page)
        mPages->addTab(new QWidget, captions[page]);
    connect(mPages, &QTabWidget::currentChanged, this, [this](int page) {
        const int old = mShownPage;
        mShownPage = page;
        emit pageChanged(page, old);
    });
    setCentralWidget(mPages);
}

QAction *MainWindow::addCommand(QMenu *menu, const QString &caption)
{
    QAction *action = menu->addAction(caption);
    action->setEnabled(false); // until a feature attaches its work
    return action;
}

void MainWindow::buildMenus()
{
    QMenuBar *bar = menuBar();

    QMenu *file = bar->addMenu(QStringLiteral("  &File  "));
    addCommand(file, QStringLiteral("&Load RVK data"));
    mFiles->addRecentMenu(file);
    addCommand(file, QStringLiteral("Sa&ve RVK data"));
    file->addSeparator();
    addCommand(file, QStringLiteral("&Build RVK File.."));
    file->addSeparator();
    addCommand(file, QStringLiteral("Load/Paste from Excel"));
    file->addSeparator();
    addCommand(file, QStringLiteral("Printer &Setup"));
    addCommand(file, QStringLiteral("&Print RVK.."));
    file->addSeparator();
    addCommand(file, QStringLiteral("&Close all"));
    file->addSeparator();
    connect(file->addAction(QStringLiteral("E&xit")), &QAction::triggered, this, &QWidget::close);

    QMenu *edit = bar->addMenu(QStringLiteral("&Edit   "));
    addCommand(edit, QStringLiteral("Copy Image to Clipboard"));
    addCommand(edit, QStringLiteral("Edit && Sort data"));
    addCommand(edit, QStringLiteral("Excel style edit"));

    QMenu *exportMenu = bar->addMenu(QStringLiteral("E&xport"));
    addCommand(exportMenu, QStringLiteral("Save RVK image as &Jpeg (.jpg)"));
    addCommand(exportMenu, QStringLiteral("&Save RVK image as Metafile (.EMF)"));
    exportMenu->addSeparator();
    addCommand(exportMenu, QStringLiteral("Export as &Locus data (.loc)"));
    addCommand(exportMenu, QStringLiteral("Export trait data as .&qua file"));
    exportMenu->addSeparator();
    addCommand(exportMenu, QStringLiteral("Export to Excel"));
    exportMenu->addSeparator();
    addCommand(exportMenu, QStringLiteral("Create &Mapchart data"));
    addCommand(exportMenu, QStringLiteral("Create M&EGA datafile"));

    QMenu *statistics = bar->addMenu(QStringLiteral("S&tatistics  "));
    addCommand(statistics, QStringLiteral("Statistics on &Current View"));
    statistics->addSeparator();
    addCommand(statistics, QStringLiteral("&Global Statistics"));
    addCommand(statistics, QStringLiteral("&Marker Statistics"));

    QMenu *selection = bar->addMenu(QStringLiteral("&Marker Selection  "));
    addCommand(selection, QStringLiteral("&Specify Criteria.."));
    selection->addSeparator();
    addCommand(selection, QStringLiteral("&View Criteria and Results"));
    addCommand(selection, QStringLiteral("&Apply Selection Filtering"))->setCheckable(true);

    QMenu *advanced = bar->addMenu(QStringLiteral("Advanced &Analyses"));
    addCommand(advanced, QStringLiteral("Marker LD"));
    QMenu *association = advanced->addMenu(QStringLiteral("Association Analysis"));
    association->setEnabled(false);
    addCommand(association, QStringLiteral("Import trait data"));
    addCommand(advanced, QStringLiteral("Calculate genetic distance"));

    QMenu *settings = bar->addMenu(QStringLiteral("Settings"));
    addCommand(settings, QStringLiteral("Allele && General options"));
    addCommand(settings, QStringLiteral("Drawing options"));

    QMenu *help = bar->addMenu(QStringLiteral("&Help"));
    connect(help->addAction(QStringLiteral("Manual")), &QAction::triggered, this, &MainWindow::showManual);
    connect(help->addAction(QStringLiteral("Whats &New ?")), &QAction::triggered, this, &MainWindow::showWhatsNew);
    QMenu *links = help->addMenu(QStringLiteral("Useful links"));
    connect(links->addAction(QStringLiteral("MEGA website")), &QAction::triggered, this,
            [this] { mOpenUrl(QUrl(QStringLiteral("https://www.megasoftware.net/"))); });
    connect(links->addAction(QStringLiteral("Mapchart website")), &QAction::triggered, this,
            [this] { mOpenUrl(QUrl(QStringLiteral("https://www.wur.nl/en/show/mapchart.htm"))); });
    help->addSeparator();
    connect(help->addAction(QStringLiteral("&About")), &QAction::triggered, this, [this] {
        AboutBox about(this);
        about.exec();
    });
}

void MainWindow::buildToolBar()
{
    QToolBar *tools = addToolBar(QStringLiteral("Tools"));
    tools->setObjectName(QStringLiteral("ToolBar"));
    tools->setMovable(false);
    tools->setIconSize(QSize(24, 24));
    QStyle *look = style();

    addTool(tools, look->standardIcon(QStyle::SP_DialogOpenButton), QStringLiteral("Open RVK file"));
    addTool(tools, letterIcon(QStringLiteral("B"), QColor(230, 210, 160)), QStringLiteral("Build RVK file"));
    tools->addSeparator();
    mPicture->addViewTools(tools);
    tools->addSeparator();
    mPicture->addGroupTools(tools);
    tools->addSeparator();
    mPicture->addColourTools(tools);
    tools->addSeparator();
    addTool(tools, letterIcon(QStringLiteral("Cp"), QColor(210, 230, 210)), QStringLiteral("Copy Image to Clipboard"));
    addTool(tools, look->standardIcon(QStyle::SP_DialogSaveButton), QStringLiteral("Save Image as metafile"));
    addTool(tools, letterIcon(QStringLiteral("Pr"), QColor(210, 210, 230)), QStringLiteral("Print drawing"));
    connect(addTool(tools, letterIcon(QStringLiteral("S"), QColor(230, 230, 200)), QStringLiteral("Settings"), true),
            &QAction::triggered, this, [this] { showPage(SettingsPage); });
    addTool(tools, letterIcon(QStringLiteral("%"), QColor(200, 230, 230)), QStringLiteral("Show Statistics"));
    addTool(tools, letterIcon(QStringLiteral("Srt"), QColor(230, 200, 230)), QStringLiteral("Sort data"));
    addTool(tools, letterIcon(QStringLiteral("X"), QColor(180, 220, 180)), QStringLiteral("Excel data exchange"));
    tools->addSeparator();
    mPicture->addZoomTool(tools);
    tools->addSeparator();
    addTool(tools, look->standardIcon(QStyle::SP_BrowserReload), QStringLiteral("Refresh drawing"));
    mPicture->addIndividualTools(tools);
}

void MainWindow::buildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    const QStringList initial = {QStringLiteral("data"), QStringLiteral("name"), QStringLiteral("no selection"),
                                 QStringLiteral("zoom:100%")};
    const int stretch[] = {3, 2, 2, 0};
    for (int panel = 0; panel < StatusPanelCount - 1; ++panel) {
        auto *label = new QLabel(initial[panel]);
        label->setObjectName(QStringLiteral("StatusPanel%1").arg(panel));
        label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        label->setMinimumWidth(panel == 3 ? 90 : 160);
        mStatusPanels[static_cast<size_t>(panel)] = label;
        bar->addPermanentWidget(label, stretch[panel]);
    }
    // The progress bar fills its panel less five pixels on every side.
    auto *progressPanel = new QWidget;
    progressPanel->setObjectName(QStringLiteral("StatusPanel4"));
    auto *progressLayout = new QHBoxLayout(progressPanel);
    progressLayout->setContentsMargins(5, 5, 5, 5);
    mProgressBar = new QProgressBar;
    mProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    mProgressBar->setTextVisible(false);
    mProgressBar->setRange(0, 100);
    mProgressBar->setValue(0);
    mProgressBar->setFixedWidth(50);
    progressLayout->addWidget(mProgressBar);
    bar->addPermanentWidget(progressPanel);
}

QString MainWindow::statusText(int panel) const
{
    if (panel < 0 || panel >= StatusPanelCount - 1)
        return {};
    return mStatusPanels[static_cast<size_t>(panel)]->text();
}

void MainWindow::setStatusText(int panel, const QString &text) { mStatusPanels[static_cast<size_t>(panel)]->setText(text); }

// ---------------------------------------------------------------------------------------------
// Help

void MainWindow::showWhatsNew()
{
    // Beside the program (the build folder), else in the installed data folder.
    const std::string path = programDocumentPath(mOptions.programFolder, "whatsnew.txt");
    if (path.empty()) {
        mUi->warning("Whatsnew.txt not found");
        return;
    }
    mOpenUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

void MainWindow::showManual()
{
    // A manual in the current folder comes first; then the one beside the program or installed
    // with it, so the program need not be started from a particular folder.
    QFileInfo manual(QStringLiteral("rvkmanual.pdf"));
    if (!manual.isFile())
        manual.setFile(QString::fromStdString(programDocumentPath(mOptions.programFolder, "rvkmanual.pdf")));
    if (manual.isFile())
        mOpenUrl(QUrl::fromLocalFile(manual.absoluteFilePath()));
}

// ---------------------------------------------------------------------------------------------
// Window events

bool MainWindow::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate && mFirstActivation) {
        const bool handled = QMainWindow::event(event);
        firstActivation();
        return handled;
    }
    // Without a window manager (a bare X server, a kiosk session) the window is shown but never
    // activated: the files named at start are then opened once the shown window has settled.
    if (event->type() == QEvent::Show && mFirstActivation && !mOptions.startFiles.isEmpty())
        QTimer::singleShot(500, this, [this] {
            if (mFirstActivation)
                firstActivation();
        });
    return QMainWindow::event(event);
}

void MainWindow::firstActivation()
{
    mFirstActivation = false;
    mFiles->openStartFiles(mOptions.startFiles);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    storeDefaultSettings();
    event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event) { mFiles->dragEnter(event); }

void MainWindow::dropEvent(QDropEvent *event) { mFiles->drop(event); }

} // namespace rvk
