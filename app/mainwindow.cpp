#include "app/mainwindow.h"

#include "app/features.h"
#include "render/picturefiles.h"

#include "app/aboutbox.h"
#include "app/settings/allelelistmodel.h"
#include "app/settings/allelepage.h"
#include "app/settings/drawingoptionspage.h"
#include "app/settings/generaloptionspanel.h"
#include "app/picture/imagepage.h"
#include "app/dataediting/individualfield.h"
#include "app/picture/pictureclipboard.h"
#include "app/picture/placeholderpicture.h"
#include "app/picture/printpreviewpage.h"
#include "app/qtuserinterface.h"
#include "settings/datasetsettings.h"
#include "core/genotypecodes.h"
#include "core/platformimport.h"
#include "core/statustexts.h"
#include "core/textformat.h"
#include "render/allinoneview.h"
#include "render/individualview.h"
#include "render/linkagegroupview.h"
#include "render/paintersurface.h"
#include "render/pictureexport.h"
#include "render/printlayout.h"
#include "stats/markerstatistics.h"
#include "settings/settingsfile.h"
#include "settings/programpaths.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QClipboard>
#include <QComboBox>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QTemporaryDir>
#include <QProgressDialog>
#include <QTimer>
#include <QStandardPaths>
#include <QPrinterInfo>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>
#include <memory>

namespace rvk {

namespace {

QString toQt(const std::string &text) { return QString::fromStdString(text); }

// A caption that shows text as it is: "&" in a path must not become an access key.
QString literalCaption(const std::string &text) { return toQt(text).replace(QLatin1Char('&'), QStringLiteral("&&")); }

// Tool-button images for commands that have no standard one: a few letters on a tile.
QIcon letterIcon(const QString &letters, QColor tile)
{
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(tile);
    painter.setPen(tile.darker(150));
    painter.drawRoundedRect(QRectF(1.5, 1.5, 21, 21), 4, 4);
    QFont font = painter.font();
    font.setPixelSize(letters.size() > 2 ? 8 : 10);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRect(0, 0, 24, 24), Qt::AlignCenter, letters);
    return QIcon(pixmap);
}

const QString NoData = QStringLiteral("no data");
const QString BlackAndWhiteHint = QStringLiteral("B&W drawing");

} // namespace

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

    buildPages();
    buildMenus();
    buildToolBar();
    buildStatusBar();
    if (mOwnUi) {
        mOwnUi->setProgressBar(mProgressBar);
        mOwnUi->setStartFolder([this] { return openDialogFolder(); });
    }

    mImagePage->setPicture(drawPlaceholderPicture(mImagePage->pictureAreaSize()));
    mPages->setCurrentIndex(ImagePageIndex);

    loadDefaultSettings();
    refreshRecentCaptions();
    updateModePanels();
    installFeatures();
}

MainWindow::~MainWindow() = default;

void MainWindow::installFeatures()
{
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

void MainWindow::redrawIfShown()
{
    if (mData.GroupCount() > 0 && mPages->currentIndex() == ImagePageIndex)
        drawCurrentView();
}

void MainWindow::showPicture(ViewPicture picture)
{
    mPages->setCurrentIndex(ImagePageIndex);
    mPointerLayout.reset(); // the pointer layout was the current view's
    showViewPicture(picture);
    mViewPicture = std::move(picture);
}

void MainWindow::showAssociationPicture(ViewPicture picture, std::vector<std::string> plottedTraits, std::vector<int> rowTops,
                                        std::vector<int> rowBottoms)
{
    mViewMode = AssociationMode;
    if (QAbstractButton *button = mViewModeButtons->button(AssociationMode)) {
        const QSignalBlocker blocker(mViewModeButtons);
        button->setChecked(true);
    }
    PointerLayout pointer;
    pointer.view = ViewKind::Association;
    pointer.zoom = mZoomFactor;
    pointer.barWidth = mSettings.drawing.barwidth;
    pointer.space = mSettings.drawing.space;
    pointer.traitRowTops = std::move(rowTops);
    pointer.traitRowBottoms = std::move(rowBottoms);
    mPlottedTraits = std::move(plottedTraits);
    mPages->setCurrentIndex(ImagePageIndex);
    showViewPicture(picture);
    mViewPicture = std::move(picture);
    mPointerLayout = pointer;
}

// ---------------------------------------------------------------------------------------------
// Building the window

void MainWindow::buildPages()
{
    mPages = new QTabWidget;
    mPages->setObjectName(QStringLiteral("PageControl"));

    auto *imageTab = new QWidget;
    auto *imageLayout = new QVBoxLayout(imageTab);
    imageLayout->setContentsMargins(2, 2, 2, 2);
    auto *organizeBy = new QGroupBox(QStringLiteral("Organize by:"));
    organizeBy->setObjectName(QStringLiteral("RadioGroup1"));
    auto *modeLayout = new QHBoxLayout(organizeBy);
    modeLayout->setContentsMargins(6, 2, 6, 2);
    mViewModeButtons = new QButtonGroup(this);
    const QStringList modes = {QStringLiteral("Linkage Group"), QStringLiteral("Individual"),
                               QStringLiteral("All in one"), QStringLiteral("Association")};
    for (int i = 0; i < modes.size(); ++i) {
        auto *button = new QRadioButton(modes[i]);
        mViewModeButtons->addButton(button, i);
        modeLayout->addWidget(button);
    }
    modeLayout->addStretch();
    // Only the association plot draws in its mode; choosing it by hand would show nothing.
    mViewModeButtons->button(AssociationMode)->setEnabled(false);
    mViewModeButtons->button(LinkageGroupMode)->setChecked(true);
    connect(mViewModeButtons, &QButtonGroup::idClicked, this, [this](int id) { setViewMode(static_cast<ViewMode>(id)); });
    imageLayout->addWidget(organizeBy);
    mImagePage = new ImagePage;
    connect(mImagePage, &ImagePage::pointerMoved, this, &MainWindow::pointerMovedOnPicture);
    connect(mImagePage, &ImagePage::pointerClicked, this, &MainWindow::pointerClickedOnPicture);
    imageLayout->addWidget(mImagePage, 1);

    const QStringList captions = {
        QStringLiteral("RVK Image"), QStringLiteral("Data Sort, View, Edit"), QStringLiteral("Marker Selection"),
        QStringLiteral("Select Indiv. && Sel. Results"), QStringLiteral("Associations"), QStringLiteral("LD "),
        QStringLiteral("Genetic Distances"), QStringLiteral("Settings"), QStringLiteral("Print Preview")};
    for (int page = 0; page < PageCount; ++page) {
        QWidget *widget = nullptr;
        if (page == ImagePageIndex) {
            widget = imageTab;
        } else if (page == SettingsPage) {
            mSettingsPages = new QTabWidget;
            mSettingsPages->setObjectName(QStringLiteral("SettingsPages"));
            mAllelePage = new AllelePage(mSettings.alleles);
            mDrawingPage = new DrawingOptionsPage;
            mDrawingPage->setOptions(mSettings.drawing);
            mSettingsPages->addTab(mAllelePage, QStringLiteral("Allele && General options"));
            mSettingsPages->addTab(mDrawingPage, QStringLiteral("Drawing options"));
            widget = mSettingsPages;
        } else if (page == PrintPreviewPageIndex) {
            mPreviewPage = new PrintPreviewPage;
            widget = mPreviewPage;
        } else {
            widget = new QWidget;
        }
        mPages->addTab(widget, captions[page]);
    }
    connect(mPages, &QTabWidget::currentChanged, this, [this](int page) {
        // Entering the image shows the settings in force; so does leaving the settings.
        if ((page == ImagePageIndex || mShownPage == SettingsPage) && mData.GroupCount() > 0)
            drawCurrentView();
        if (page == PrintPreviewPageIndex) {
            // The preview shows the data as they are now (a sort or an edit since the last
            // drawing included) at the window's current size.
            if (mData.GroupCount() > 0 && mViewMode != AssociationMode)
                drawCurrentView();
            buildPrintPreview();
        }
        const int old = mShownPage;
        mShownPage = page;
        emit pageChanged(page, old);
    });

    connect(mDrawingPage, &DrawingOptionsPage::changed, this, [this] { mSettings.drawing = mDrawingPage->options(); });
    connect(mDrawingPage, &DrawingOptionsPage::colorModeChosen, this, [this] {
        (mSettings.drawing.blackAndWhite() ? mBlackAndWhiteTool : mColourTool)->setChecked(true);
        redrawbtnClick();
    });
    connect(mPreviewPage, &PrintPreviewPage::orientationChanged, this, &MainWindow::buildPrintPreview);
    // A resized window gets a picture of its new size once the resizing pauses.
    mResizeRedraw = new QTimer(this);
    mResizeRedraw->setSingleShot(true);
    mResizeRedraw->setInterval(150);
    connect(mResizeRedraw, &QTimer::timeout, this, &MainWindow::redrawIfShown);
    connect(mImagePage, &ImagePage::viewportResized, mResizeRedraw, qOverload<>(&QTimer::start));
    connect(mPreviewPage, &PrintPreviewPage::printRequested, this, &MainWindow::printPreview);
    connect(mAllelePage, &AllelePage::applyRequested, this, &MainWindow::redrawbtnClick);
    connect(mAllelePage, &AllelePage::saveSettingsRequested, this, &MainWindow::saveSettingsAs);
    connect(mAllelePage, &AllelePage::loadSettingsRequested, this, &MainWindow::loadSettingsFrom);
    connect(mAllelePage, &AllelePage::setAsDefaultRequested, this, &MainWindow::storeDefaultSettings);
    setCentralWidget(mPages);
}

QAction *MainWindow::addCommand(QMenu *menu, const QString &caption, void (MainWindow::*slot)())
{
    QAction *action = menu->addAction(caption);
    if (slot)
        connect(action, &QAction::triggered, this, slot);
    else
        action->setEnabled(false); // its work is not available in this build
    return action;
}

void MainWindow::buildMenus()
{
    QMenuBar *bar = menuBar();

    QMenu *file = bar->addMenu(QStringLiteral("  &File  "));
    addCommand(file, QStringLiteral("&Load RVK data"), &MainWindow::loadRvkData);
    QMenu *recent = file->addMenu(QStringLiteral("&Recently opened"));
    for (int i = 0; i < RecentFiles::Count; ++i) {
        mRecentEntries[static_cast<size_t>(i)] = recent->addAction(QString());
        connect(mRecentEntries[static_cast<size_t>(i)], &QAction::triggered, this, [this, i] { openRecent(i); });
    }
    addCommand(file, QStringLiteral("Sa&ve RVK data"));
    file->addSeparator();
    addCommand(file, QStringLiteral("&Build RVK File.."));
    file->addSeparator();
    addCommand(file, QStringLiteral("Load/Paste from Excel"));
    file->addSeparator();
    addCommand(file, QStringLiteral("Printer &Setup"), &MainWindow::printerSetup);
    addCommand(file, QStringLiteral("&Print RVK.."), &MainWindow::printDrawing);
    file->addSeparator();
    addCommand(file, QStringLiteral("&Close all"), &MainWindow::closeAll);
    file->addSeparator();
    QAction *exit = addCommand(file, QStringLiteral("E&xit"));
    exit->setEnabled(true);
    connect(exit, &QAction::triggered, this, &QWidget::close);

    QMenu *edit = bar->addMenu(QStringLiteral("&Edit   "));
    addCommand(edit, QStringLiteral("Copy Image to Clipboard"), &MainWindow::copyImageToClipboard);
    addCommand(edit, QStringLiteral("Edit && Sort data"));
    addCommand(edit, QStringLiteral("Excel style edit"));

    QMenu *exportMenu = bar->addMenu(QStringLiteral("E&xport"));
    addCommand(exportMenu, QStringLiteral("Save RVK image as &Jpeg (.jpg)"), &MainWindow::saveImageAsJpeg);
    addCommand(exportMenu, QStringLiteral("&Save RVK image as Metafile (.EMF)"), &MainWindow::saveImageAsMetafile);
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
    mApplyFiltering = addCommand(selection, QStringLiteral("&Apply Selection Filtering"));
    mApplyFiltering->setCheckable(true);

    QMenu *advanced = bar->addMenu(QStringLiteral("Advanced &Analyses"));
    addCommand(advanced, QStringLiteral("Marker LD"));
    QMenu *association = advanced->addMenu(QStringLiteral("Association Analysis"));
    association->setEnabled(false);
    addCommand(association, QStringLiteral("Import trait data"));
    addCommand(advanced, QStringLiteral("Calculate genetic distance"));

    QMenu *settings = bar->addMenu(QStringLiteral("Settings"));
    connect(settings->addAction(QStringLiteral("Allele && General options")), &QAction::triggered, this,
            [this] { showSettingsPage(0); });
    connect(settings->addAction(QStringLiteral("Drawing options")), &QAction::triggered, this,
            [this] { showSettingsPage(1); });

    QMenu *help = bar->addMenu(QStringLiteral("&Help"));
    addCommand(help, QStringLiteral("Manual"), &MainWindow::showManual);
    addCommand(help, QStringLiteral("Whats &New ?"), &MainWindow::showWhatsNew);
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

    auto tool = [&](const QIcon &icon, const QString &hint, bool enabled = false) {
        QAction *action = tools->addAction(icon, hint);
        action->setToolTip(hint);
        action->setEnabled(enabled);
        return action;
    };

    connect(tool(look->standardIcon(QStyle::SP_DialogOpenButton), QStringLiteral("Open RVK file"), true),
            &QAction::triggered, this, &MainWindow::loadRvkData);
    tool(letterIcon(QStringLiteral("B"), QColor(230, 210, 160)), QStringLiteral("Build RVK file"));
    tools->addSeparator();

    auto *viewTools = new QActionGroup(this);
    const QStringList viewHints = {QStringLiteral("Linkage group view"), QStringLiteral("Individual view"),
                                   QStringLiteral("draw all linkage groups")};
    const QStringList viewLetters = {QStringLiteral("LG"), QStringLiteral("Ind"), QStringLiteral("All")};
    for (int mode = 0; mode < 3; ++mode) {
        QAction *action = tool(letterIcon(viewLetters[mode], QColor(190, 215, 240)), viewHints[mode], true);
        action->setCheckable(true);
        viewTools->addAction(action);
        mViewTools[static_cast<size_t>(mode)] = action;
        connect(action, &QAction::triggered, this, [this, mode] {
            // A genome laid out in rows reads best on upright pages.
            if (mode == AllInOneMode)
                mPreviewPage->setOrientation(PageOrientation::Portrait);
            setViewMode(static_cast<ViewMode>(mode));
        });
    }
    mViewTools[LinkageGroupMode]->setChecked(true);
    // The association plot: enabled once association results exist.
    QAction *associationPlot = tools->addAction(letterIcon(QStringLiteral("As"), QColor(240, 200, 200)), QString());
    associationPlot->setObjectName(QStringLiteral("associationPlotTool")); // found by the association feature
    associationPlot->setEnabled(false);
    tools->addSeparator();

    mGroupSelector = new QComboBox;
    mGroupSelector->setObjectName(QStringLiteral("groupnr"));
    mGroupSelector->setMinimumContentsLength(12);
    mGroupSelector->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    connect(mGroupSelector, &QComboBox::activated, this, [this](int) { RadioGroup1Click(); });
    tools->addWidget(mGroupSelector);
    showNoDataSelector();
    connect(tool(look->standardIcon(QStyle::SP_ArrowLeft), QStringLiteral("prev group"), true), &QAction::triggered,
            this, &MainWindow::previousGroup);
    connect(tool(look->standardIcon(QStyle::SP_ArrowRight), QStringLiteral("next group"), true), &QAction::triggered,
            this, &MainWindow::nextGroup);
    tools->addSeparator();

    auto *colourTools = new QActionGroup(this);
    mColourTool = tool(letterIcon(QStringLiteral("C"), QColor(250, 180, 120)), QStringLiteral("Color drawing"), true);
    mBlackAndWhiteTool = tool(letterIcon(QStringLiteral("BW"), QColor(220, 220, 220)), QStringLiteral("B&&W drawing"), true);
    mBlackAndWhiteTool->setToolTip(BlackAndWhiteHint);
    for (QAction *action : {mColourTool, mBlackAndWhiteTool}) {
        action->setCheckable(true);
        colourTools->addAction(action);
    }
    mColourTool->setChecked(true);
    connect(mColourTool, &QAction::triggered, this, [this] { setColorMode(DrawingOptions::ColorMode::Color); });
    connect(mBlackAndWhiteTool, &QAction::triggered, this,
            [this] { setColorMode(DrawingOptions::ColorMode::BlackAndWhite); });
    tools->addSeparator();

    connect(tool(letterIcon(QStringLiteral("Cp"), QColor(210, 230, 210)), QStringLiteral("Copy Image to Clipboard"), true),
            &QAction::triggered, this, &MainWindow::copyImageToClipboard);
    connect(tool(look->standardIcon(QStyle::SP_DialogSaveButton), QStringLiteral("Save Image as metafile"), true),
            &QAction::triggered, this, &MainWindow::saveImageAsMetafile);
    connect(tool(letterIcon(QStringLiteral("Pr"), QColor(210, 210, 230)), QStringLiteral("Print drawing"), true),
            &QAction::triggered, this, &MainWindow::printDrawing);
    connect(tool(letterIcon(QStringLiteral("S"), QColor(230, 230, 200)), QStringLiteral("Settings"), true),
            &QAction::triggered, this, [this] { mPages->setCurrentIndex(SettingsPage); });
    tool(letterIcon(QStringLiteral("%"), QColor(200, 230, 230)), QStringLiteral("Show Statistics"));
    tool(letterIcon(QStringLiteral("Srt"), QColor(230, 200, 230)), QStringLiteral("Sort data"));
    tool(letterIcon(QStringLiteral("X"), QColor(180, 220, 180)), QStringLiteral("Excel data exchange"));
    tools->addSeparator();
    QAction *zoom = tool(letterIcon(QStringLiteral("Z"), QColor(240, 240, 240)), QStringLiteral("Zoom factor"), true);
    auto *zoomMenu = new QMenu(this);
    zoomMenu->setObjectName(QStringLiteral("ZoomMenu"));
    for (const ZoomMenuEntry &zoomEntry : zoomMenuEntries()) {
        QAction *entry = zoomMenu->addAction(QString::fromLatin1(zoomEntry.caption));
        connect(entry, &QAction::triggered, this, [this, tag = zoomEntry.tag] { zoomTo(tag); });
    }
    zoom->setMenu(zoomMenu);
    if (auto *button = qobject_cast<QToolButton *>(tools->widgetForAction(zoom)))
        button->setPopupMode(QToolButton::InstantPopup);
    tools->addSeparator();
    connect(tool(look->standardIcon(QStyle::SP_BrowserReload), QStringLiteral("Refresh drawing"), true),
            &QAction::triggered, this, &MainWindow::redrawbtnClick);

    auto *browser = new QWidget;
    browser->setObjectName(QStringLiteral("IndividualBrowser"));
    browser->setToolTip(QStringLiteral("Show Individual No"));
    auto *browserLayout = new QHBoxLayout(browser);
    browserLayout->setContentsMargins(4, 0, 4, 0);
    browserLayout->addWidget(new QLabel(QStringLiteral("Ind:")));
    mIndividualField = new IndividualField;
    mIndividualField->setObjectName(QStringLiteral("IndividualField"));
    mIndividualField->setRange(0, 0);
    mIndividualField->setMinimumWidth(mIndividualField->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 24);
    browserLayout->addWidget(mIndividualField);
    connect(mIndividualField, &IndividualField::stepRequested, this, &MainWindow::stepIndividual);
    connect(mIndividualField, &IndividualField::numberEntered, this, &MainWindow::enterIndividual);
    mIndividualBrowser = tools->addWidget(browser);

    auto *range = new QWidget;
    range->setObjectName(QStringLiteral("RangePanel"));
    range->setToolTip(QStringLiteral("Show subset of individuals"));
    auto *rangeLayout = new QHBoxLayout(range);
    rangeLayout->setContentsMargins(4, 0, 4, 0);
    rangeLayout->addWidget(new QLabel(QStringLiteral("Show:")));
    mFirstShown = new QSpinBox;
    mFirstShown->setObjectName(QStringLiteral("spinedit1"));
    mLastShown = new QSpinBox;
    mLastShown->setObjectName(QStringLiteral("SpinEdit2"));
    for (QSpinBox *field : {mFirstShown, mLastShown}) {
        field->setRange(1, 1);
        field->setValue(1);
        field->setMinimumWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 24);
        field->setKeyboardTracking(false);
        rangeLayout->addWidget(field);
        connect(field, &QSpinBox::valueChanged, this, [this] {
            if (mData.GroupCount() > 0)
                redrawbtnClick();
        });
    }
    mRangePanel = tools->addWidget(range);
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

// ---------------------------------------------------------------------------------------------
// State shown in the controls

QString MainWindow::statusText(int panel) const
{
    if (panel < 0 || panel >= StatusPanelCount - 1)
        return {};
    return mStatusPanels[static_cast<size_t>(panel)]->text();
}

void MainWindow::setStatusText(int panel, const QString &text) { mStatusPanels[static_cast<size_t>(panel)]->setText(text); }

void MainWindow::showNoDataSelector()
{
    const QSignalBlocker blocker(mGroupSelector);
    mGroupSelector->clear();
    mGroupSelector->addItem(NoData);
    mGroupSelector->setCurrentIndex(0);
    mGroupSelector->setEnabled(false);
}

void MainWindow::rebuildGroupSelector(bool enabled, int current)
{
    const QSignalBlocker blocker(mGroupSelector);
    if (mData.GroupCount() == 0) {
        showNoDataSelector();
        return;
    }
    mGroupSelector->clear();
    for (int k = 0; k < mData.GroupCount(); ++k)
        mGroupSelector->addItem(toQt(groupSelectorText(mData, k)));
    mGroupSelector->setCurrentIndex(current);
    mGroupSelector->setEnabled(enabled);
}

void MainWindow::refreshRecentCaptions()
{
    for (int i = 0; i < RecentFiles::Count; ++i)
        mRecentEntries[static_cast<size_t>(i)]->setText(literalCaption(mRecent.entry(i)));
}

void MainWindow::switchSelectionFilteringOff()
{
    mData.Selectionyesno = false;
    mApplyFiltering->setChecked(false);
}

void MainWindow::updateModePanels()
{
    const bool individual = mViewMode == IndividualMode;
    mIndividualBrowser->setVisible(individual);
    mRangePanel->setVisible(mViewMode == LinkageGroupMode || mViewMode == AllInOneMode);
}

// ---------------------------------------------------------------------------------------------
// Opening and closing data sets

LoadOutcome MainWindow::openFiles(const QStringList &paths)
{
    // Full paths, so the recent list and the caption name the file wherever the program runs.
    std::vector<std::string> list;
    list.reserve(static_cast<size_t>(paths.size()));
    for (const QString &path : paths)
        list.push_back(QFileInfo(path).absoluteFilePath().toStdString());
    if (!list.empty())
        mSettings.currentPath = QFileInfo(toQt(list.front())).absolutePath().toStdString() + "/";
    if (mGroupSelector->itemText(0) == NoData) {
        const QSignalBlocker blocker(mGroupSelector);
        mGroupSelector->clear();
    }
    // Genotyping-platform files can be large: their reading shows a dialog that can stop it.
    std::unique_ptr<QProgressDialog> reading;
    if (std::any_of(list.begin(), list.end(), [](const std::string &path) { return platformFormatOf(path) != PlatformFormat::None; })) {
        reading = std::make_unique<QProgressDialog>(QStringLiteral("Reading genotypes..."), QStringLiteral("Cancel"), 0, 0, this);
        reading->setWindowModality(Qt::WindowModal);
        reading->setMinimumDuration(500);
        QProgressDialog *dialog = reading.get();
        mLoader.setCancelCheck([dialog] {
            QCoreApplication::processEvents();
            return dialog->wasCanceled();
        });
    }
    const LoadOutcome outcome = mLoader.OpenFiles(list);
    mLoader.setCancelCheck({});
    reading.reset();
    takeIntoSettings(outcome);
    applyLoadOutcome(outcome);
    return outcome;
}

void MainWindow::takeIntoSettings(const LoadOutcome &outcome)
{
    mSettings.alleles.markUsed(outcome.usedCodes);
    if (!outcome.rememberedFile.empty()) {
        bool changed = false;
        std::string error;
        if (!mRecent.remember(outcome.rememberedFile, mSettingsFile, changed, error))
            mUi->warning(error);
    }
    // The data set's own settings come last: their recent list and ticks are the ones that hold.
    if (!outcome.dataSetSettings.empty())
        loadSettingsFile(outcome.dataSetSettings);
}

void MainWindow::applyLoadOutcome(const LoadOutcome &outcome)
{
    const int groups = mData.GroupCount();
    const bool failedFile = !outcome.completed && !outcome.multiGroupFile;
    // After a failed file the last group read stays current.
    rebuildGroupSelector(groups > 0, failedFile ? groups - 1 : (groups > 0 ? 0 : -1));
    if (outcome.groupsAdded > 0) {
        mLastShown->blockSignals(true);
        mFirstShown->blockSignals(true);
        const int last = std::max(1, mData.nind);
        mFirstShown->setRange(1, last);
        mLastShown->setRange(1, last);
        mLastShown->setValue(last);
        mFirstShown->blockSignals(false);
        mLastShown->blockSignals(false);
    }
    if (outcome.aliasSection) {
        mSettings.drawing.sideways = true;
        mDrawingPage->setOptions(mSettings.drawing);
    }
    if (!outcome.captionPath.empty())
        setWindowTitle(QStringLiteral("Display RVK - ") + toQt(outcome.captionPath));
    // Groups read before a failed file are shown and usable like any others.
    if (mData.DataLoaded && (outcome.completed || outcome.groupsAdded > 0)) {
        showDataView();
        enableDataPages(true);
    }
    // With a single group left by a failed file there is nothing to choose.
    if (failedFile && groups <= 1)
        mGroupSelector->setEnabled(false);
    mAllelePage->model()->usedChanged();
    mUi->setProgress(0, 0);
    if (outcome.groupsAdded > 0)
        emit dataSetLoaded();
}

void MainWindow::dataSetReplaced()
{
    // The replaced data set goes as with "Close all" before the new one is shown: the features
    // let go of their results, the picture and the allele list of its codes.
    mViewPicture = ViewPicture();
    mPointerLayout.reset();
    setStatusText(1, QString());
    CodeSet used;
    for (int k = 0; k < mData.GroupCount(); ++k)
        for (const Tlocinfo &locus : mData.GroupLoci(k))
            markCodes(locus.Genotypes, used);
    mSettings.alleles.clearUsed();
    mSettings.alleles.markUsed(used);
    emit dataSetClosed();

    const int groups = mData.GroupCount();
    rebuildGroupSelector(groups > 0, groups > 0 ? 0 : -1);
    {
        const QSignalBlocker firstBlocker(mFirstShown);
        const QSignalBlocker lastBlocker(mLastShown);
        const int last = std::max(1, mData.nind);
        mFirstShown->setRange(1, last);
        mLastShown->setRange(1, last);
        mLastShown->setValue(last);
    }
    mAllelePage->model()->usedChanged();
    if (groups == 0)
        return;
    enableDataPages(true);
    showDataView();
    emit dataSetLoaded();
}

void MainWindow::showDataView()
{
    // The association plot belongs to the run that drew it: new data show their linkage groups.
    if (mViewMode == AssociationMode)
        setViewMode(LinkageGroupMode);
    else
        RadioGroup1Click();
}

void MainWindow::afterOpenDialog()
{
    refreshRecentCaptions();
    switchSelectionFilteringOff();
    mPages->setCurrentIndex(ImagePageIndex);
}

void MainWindow::openDataFiles(const QStringList &paths)
{
    if (paths.isEmpty())
        return;
    openFiles(paths);
    afterOpenDialog();
}

void MainWindow::loadRvkData()
{
    const std::vector<std::string> chosen =
        mUi->openFileNames("Open", DataFileFilter, openDialogFolder().toStdString(), true);
    QStringList paths;
    for (const std::string &path : chosen)
        paths.append(toQt(path));
    if (paths.isEmpty())
        return;
    mSettings.currentPath = QFileInfo(paths.first()).absolutePath().toStdString() + "/";
    // A genotyping-platform file chosen alone gets its import choices first.
    if (paths.size() == 1 && platformFormatOf(paths.first().toStdString()) != PlatformFormat::None && mChoosePlatformOptions) {
        const std::optional<PlatformImportOptions> options = mChoosePlatformOptions(paths.first());
        if (!options)
            return;
        mLoader.setPlatformOptions(*options);
        openDataFiles(paths);
        mLoader.setPlatformOptions({});
        return;
    }
    openDataFiles(paths);
}

void MainWindow::openRecent(int entry)
{
    if (entry < 0 || entry >= RecentFiles::Count)
        return;
    const std::string path = mRecent.entry(entry);
    std::error_code error;
    if (path.empty() || !std::filesystem::is_regular_file(path, error))
        return;
    if (mData.GroupCount() > 0)
        closeAll();
    openFiles({toQt(path)});
    refreshRecentCaptions();
    switchSelectionFilteringOff();
}

void MainWindow::closeAll()
{
    showNoDataSelector();
    mLoader.Reset();
    mSettings.alleles.clearUsed();
    mData.CurrentIndividual = 1;
    mImagePage->setPicture(drawNoDataPicture(mImagePage->pictureAreaSize()));
    mViewPicture = ViewPicture();
    mPointerLayout.reset();
    for (QSpinBox *field : {mFirstShown, mLastShown}) {
        const QSignalBlocker blocker(field);
        field->setValue(1);
    }
    setStatusText(0, toQt(emptyDataSummaryText()));
    // The title and the core subset's "Opt. val" named the closed data set.
    setStatusText(1, QString());
    setWindowTitle(QStringLiteral("Display RVK 2.0"));
    mAllelePage->model()->usedChanged();
    emit dataSetClosed();
}

// ---------------------------------------------------------------------------------------------
// View dispatch

void MainWindow::setViewMode(ViewMode mode)
{
    mViewMode = mode;
    if (QAbstractButton *button = mViewModeButtons->button(mode)) {
        const QSignalBlocker blocker(mViewModeButtons);
        button->setChecked(true);
    }
    if (mode <= AllInOneMode)
        mViewTools[static_cast<size_t>(mode)]->setChecked(true);
    RadioGroup1Click();
}

void MainWindow::RadioGroup1Click()
{
    const int groups = mData.GroupCount();
    if (groups == 0)
        return;
    mLastShown->setMaximum(std::max(1, mData.nind));
    if (mGroupSelector->currentIndex() < 0 || mGroupSelector->currentIndex() >= groups) {
        const QSignalBlocker blocker(mGroupSelector);
        mGroupSelector->setCurrentIndex(0);
    }
    const int group = mGroupSelector->currentIndex();
    mData.CurrentGroupName = mData.GroupName(group);
    setStatusText(0, toQt(dataSummaryText(mData, group)));

    if (mData.Selectionyesno && mViewMode == IndividualMode) {
        const auto ticked = [this](int individual) {
            return individual >= 1 && individual <= static_cast<int>(mData.Ticked.size())
                   && mData.Ticked[static_cast<size_t>(individual - 1)];
        };
        if (!ticked(mData.CurrentIndividual)) {
            while (mData.CurrentIndividual < mData.LastIndividual && !ticked(mData.CurrentIndividual))
                ++mData.CurrentIndividual;
            if (!ticked(mData.CurrentIndividual)) {
                mUi->warning("Selection too intense, no plants meet the set criteria");
                setViewMode(LinkageGroupMode);
                return;
            }
        }
    }
    redrawbtnClick();
}

void MainWindow::redrawbtnClick()
{
    if (mData.GroupCount() > 0) {
        switch (mViewMode) {
        case LinkageGroupMode:
        case AllInOneMode:
            mGroupSelector->setEnabled(true);
            break;
        case IndividualMode: {
            mData.LastIndividual = mData.nind;
            mGroupSelector->setEnabled(true);
            const QSignalBlocker blocker(mIndividualField);
            mIndividualField->setRange(std::min(1, mData.nind), mData.nind);
            mIndividualField->setValue(mData.CurrentIndividual);
            const int index = mData.CurrentIndividual - 1;
            if (index >= 0 && index < static_cast<int>(mData.IndividualNames.size()))
                setStatusText(1, toQt(mData.IndividualNames[static_cast<size_t>(index)]));
            break;
        }
        case AssociationMode:
            break;
        }
        updateModePanels();
        drawCurrentView();
    }
    mPages->setCurrentIndex(ImagePageIndex);
}

DrawContext MainWindow::drawContext() const
{
    DrawContext context;
    context.options = mSettings.drawing;
    context.zoom = mZoomFactor;
    context.deducePhase = mAllelePage->generalOptions()->options().deducephase;
    context.visibleHeight = mImagePage->viewport()->height();
    context.group = std::max(0, mGroupSelector->currentIndex());
    context.firstIndividual = mFirstShown->value();
    context.lastIndividual = mLastShown->value();
    context.currentIndividual = mData.CurrentIndividual;
    context.skipUnselected = mSkipUnselected;
    return context;
}

void MainWindow::drawCurrentView()
{
    if (mData.GroupCount() == 0)
        return;
    const DrawContext context = drawContext();
    PointerLayout pointer;
    pointer.zoom = context.zoom;
    pointer.barWidth = context.options.barwidth;
    pointer.space = context.options.space;
    ViewPicture picture;
    switch (mViewMode) {
    case LinkageGroupMode: {
        LinkageGroupView::Layout layout;
        picture = drawLinkageGroupView(mData, mSettings.alleles, context, &layout);
        pointer.view = ViewKind::LinkageGroup;
        pointer.markSpace = layout.markSpace;
        showAutosizedMarkSpace(layout.markSpace);
        break;
    }
    case IndividualMode:
        picture = drawIndividualView(mData, mSettings.alleles, context);
        pointer.view = ViewKind::Individual;
        break;
    case AllInOneMode: {
        // The consensus row shows the major alleles as they are now.
        refreshMajorAlleles(mData, mSettings.alleles);
        AllInOneView::Layout layout;
        picture = drawAllInOneView(mData, mSettings.alleles, context, mImagePage->viewport()->width(), &layout, mUi);
        pointer.view = ViewKind::AllInOne;
        pointer.markSpace = layout.markSpace;
        showAutosizedMarkSpace(layout.markSpace);
        {
            // The preview takes the picture's shape; its pages are cut when it is shown.
            const QSignalBlocker blocker(mPreviewPage);
            mPreviewPage->setOrientation(picture.height() < picture.width() ? PageOrientation::Landscape
                                                                            : PageOrientation::Portrait);
        }
        break;
    }
    case AssociationMode:
        return; // the association plot draws its own picture
    }
    mPointerLayout = pointer;
    showViewPicture(picture);
    mViewPicture = std::move(picture);
    emit viewDrawn();
}

void MainWindow::showAutosizedMarkSpace(int markSpace)
{
    // With "autosize" the views measure the marker names; the field shows what they measured.
    // The field holds at most its range; the view itself keeps the whole measured space.
    const int shown = DrawingOptions::markspaceRange.clamp(markSpace);
    if (!mSettings.drawing.autosize || mSettings.drawing.markspace == shown)
        return;
    mSettings.drawing.markspace = shown;
    mDrawingPage->setOptions(mSettings.drawing);
}

void MainWindow::showViewPicture(const ViewPicture &picture)
{
    // Replayed once into a bitmap: scrolling then moves pixels and never paints again.
    QImage image = blankPicture(QSize(picture.width(), picture.height()));
    {
        PainterSurface surface(image);
        picture.replay(surface);
    }
    mImagePage->setPicture(image);
}

void MainWindow::setColorMode(DrawingOptions::ColorMode mode)
{
    // The page applies the colour-mode rule and asks for the redraw.
    mDrawingPage->chooseColorMode(mode);
}

void MainWindow::zoomTo(int tag)
{
    mZoomFactor = zoomFactorForTag(tag);
    setStatusText(3, toQt(zoomStatusText(mZoomFactor)));
    redrawbtnClick();
}

void MainWindow::showSettingsPage(int subPage)
{
    mSettingsPages->setCurrentIndex(subPage);
    mPages->setCurrentIndex(SettingsPage);
}

GeneralOptions MainWindow::generalOptions() const { return mAllelePage->generalOptions()->options(); }

void MainWindow::saveSettingsAs()
{
    const std::string path = mUi->saveFileName("Save Settings", SettingsSaveFilter, mLoader.defaultSettingsName());
    if (path.empty())
        return;
    storeDataIntoSettings(mData, mSettings);
    std::string errorText;
    if (!saveSettings(path, mSettings, &errorText))
        mUi->warning(errorText);
}

void MainWindow::loadSettingsFrom()
{
    const std::string defaultName = mLoader.defaultSettingsName();
    const std::string folder = defaultName.empty() ? openDialogFolder().toStdString()
                                                   : QFileInfo(toQt(defaultName)).absolutePath().toStdString();
    const std::vector<std::string> chosen = mUi->openFileNames("Load Settings", SettingsLoadFilter, folder, false);
    if (chosen.empty())
        return;
    loadSettingsFile(chosen.front());
}

void MainWindow::previousGroup()
{
    if (mViewMode == LinkageGroupMode) {
        const int current = mGroupSelector->currentIndex();
        if (mData.GroupCount() > 0 && current > 0) {
            const QSignalBlocker blocker(mGroupSelector);
            mGroupSelector->setCurrentIndex(current - 1);
            RadioGroup1Click();
        }
    } else if (mViewMode == IndividualMode) {
        stepIndividual(StepDirection::Down);
    }
}

void MainWindow::nextGroup()
{
    if (mViewMode == LinkageGroupMode) {
        const int current = mGroupSelector->currentIndex();
        if (mData.GroupCount() > 0 && current + 1 < mData.GroupCount()) {
            const QSignalBlocker blocker(mGroupSelector);
            mGroupSelector->setCurrentIndex(current + 1);
            RadioGroup1Click();
        }
    } else if (mViewMode == IndividualMode) {
        stepIndividual(StepDirection::Up);
    }
}

void MainWindow::stepIndividual(StepDirection direction)
{
    if (mData.GroupCount() == 0)
        return;
    if (const std::optional<int> individual = rvk::stepIndividual(mData, direction)) {
        mData.CurrentIndividual = *individual;
        redrawbtnClick();
    }
}

void MainWindow::enterIndividual(const QString &text)
{
    if (mData.GroupCount() == 0)
        return;
    if (const std::optional<int> individual = enteredIndividual(text.toStdString(), mData.LastIndividual))
        mData.CurrentIndividual = *individual;
    redrawbtnClick();
}

// ---------------------------------------------------------------------------------------------
// Pointer on the picture

void MainWindow::pointerMovedOnPicture(QPoint position)
{
    if (mData.GroupCount() == 0 || !mPointerLayout)
        return;
    const HoverResult hover = hoverAt(*mPointerLayout, position.x(), position.y(), mData.SelectedIndices,
                                      mData.IndividualNames, mPlottedTraits);
    if (!hover.tooltipEnabled)
        mImagePage->setPictureHint(QString());
    else if (!hover.tooltip.empty())
        mImagePage->setPictureHint(toQt(hover.tooltip));
    if (!hover.statusText.empty())
        setStatusText(1, toQt(hover.statusText));
}

void MainWindow::pointerClickedOnPicture(QPoint position, Qt::MouseButton button)
{
    if (mData.GroupCount() == 0 || !mPointerLayout || (button != Qt::LeftButton && button != Qt::RightButton))
        return;
    const ClickResult click = inspectAt(*mPointerLayout, position.x(), position.y(),
                                        button == Qt::RightButton ? PointerButton::Right : PointerButton::Left,
                                        mData.SelectedIndices, mData.IndividualNames, mPlottedTraits);
    switch (click.action) {
    case ClickResult::Action::None:
        break;
    case ClickResult::Action::SelectTrait:
        setStatusText(1, toQt(click.text));
        emit traitClickedOnPicture(click.trait);
        break;
    case ClickResult::Action::SwitchToLinkageGroup:
        setViewMode(LinkageGroupMode);
        break;
    case ClickResult::Action::ShowTooltip:
        mImagePage->setPictureHint(toQt(click.text));
        QToolTip::showText(QCursor::pos(), toQt(click.text), mImagePage);
        break;
    case ClickResult::Action::OpenIndividual:
        mData.CurrentIndividual = click.individual;
        setViewMode(IndividualMode);
        break;
    }
}

// ---------------------------------------------------------------------------------------------
// Printing and picture files

void MainWindow::saveImageAsMetafile() { saveImageAs(MetafileFirstFilter, "emf"); }

void MainWindow::saveImageAsJpeg() { saveImageAs(JpegFirstFilter, "jpg"); }

void MainWindow::saveImageAs(const char *filter, const char *defaultExtension)
{
    if (mViewPicture.isEmpty())
        return;
    const std::string path = mUi->saveFileName("Save Image", filter, {});
    if (path.empty())
        return;
    std::string written;
    std::string errorText;
    if (!savePictureFile(mViewPicture, path, defaultExtension, written, errorText))
        mUi->warning(errorText);
}

void MainWindow::copyImageToClipboard()
{
    if (mViewPicture.isEmpty())
        return;
    // The metafile is kept in the working folder, as other programs may still read it.
    std::string errorText;
    if (!copyPictureToClipboard(mViewPicture, QDir::currentPath().toStdString(), errorText))
        mUi->warning(errorText);
}

void MainWindow::buildPrintPreview()
{
    QImage bitmap;
    if (mViewPicture.isEmpty()) {
        bitmap = mImagePage->picture(); // the placeholder
    } else {
        // A picture smaller than the image area is previewed, printed and saved at the area's size.
        const QSize size = previewPictureSize(mViewPicture.width(), mViewPicture.height(),
                                              mImagePage->viewport()->width(), mImagePage->viewport()->height());
        mViewPicture.setSize(size.width(), size.height());
        bitmap = renderPictureToImage(mViewPicture);
    }
    mPreviewPage->build(bitmap);
}

void MainWindow::printPreview()
{
    QPrinter &device = printer();
    device.setDocName(QString::fromLatin1(PreviewDocumentTitle));
    device.setPageOrientation(mPreviewPage->orientation() == PageOrientation::Portrait ? QPageLayout::Portrait
                                                                                       : QPageLayout::Landscape);
    QPrintDialog dialog(&device, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    std::string errorText;
    if (!mPreviewPage->printPages(device, errorText))
        mUi->warning(errorText);
}

void MainWindow::printerSetup()
{
    QPageSetupDialog dialog(&printer(), this);
    dialog.exec();
}

QPrinter &MainWindow::printer()
{
    if (!mPrinter) {
        mPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
        // A desktop without a printer still prints: to a PDF file, which the print dialog offers
        // preselected.
        if (QPrinterInfo::availablePrinters().isEmpty()) {
            mPrinter->setOutputFormat(QPrinter::PdfFormat);
            const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
            mPrinter->setOutputFileName(QDir(folder.isEmpty() ? QDir::homePath() : folder).filePath(QStringLiteral("rvk-print.pdf")));
        }
    }
    return *mPrinter;
}

void MainWindow::printDrawing()
{
    if (mViewPicture.isEmpty())
        return;
    QPrinter &device = printer();
    device.setDocName(QString::fromLatin1(PrintDocumentTitle));
    device.setPageOrientation(printLandscape(mViewPicture.width(), mViewPicture.height()) ? QPageLayout::Landscape
                                                                                          : QPageLayout::Portrait);
    QPrintDialog dialog(&device, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    printTo(device);
}

void MainWindow::printTo(QPagedPaintDevice &device)
{
    if (mViewPicture.isEmpty())
        return;
    PrintedView view = PrintedView::Other;
    switch (mViewMode) {
    case LinkageGroupMode: view = PrintedView::LinkageGroup; break;
    case IndividualMode: view = PrintedView::Individual; break;
    case AllInOneMode: view = PrintedView::AllInOne; break;
    case AssociationMode: break;
    }
    DrawContext context = drawContext();
    context.zoom = 1.0;
    const PrintOutcome outcome = printCurrentView(device, view, mViewPicture, mData, mSettings.alleles, context,
                                                  mImagePage->viewport()->width(), mUi);
    if (!outcome.printed && !outcome.error.empty())
        mUi->warning(outcome.error);
    // Back to the picture at the zoom on screen.
    drawCurrentView();
}

// ---------------------------------------------------------------------------------------------
// Help

QString MainWindow::programFile(const QString &name) const { return toQt(mOptions.programFolder) + name; }

void MainWindow::showWhatsNew()
{
    // Beside the program (the build folder), else in the installed data folder.
    const std::string path = programDocumentPath(mOptions.programFolder, "whatsnew.txt");
    if (path.empty()) {
        mUi->warning("Whatsnew.txt not found");
        return;
    }
    mOpenUrl(QUrl::fromLocalFile(toQt(path)));
}

void MainWindow::showManual()
{
    // A manual in the current folder comes first; then the one beside the program or installed
    // with it, so the program need not be started from a particular folder.
    QFileInfo manual(QStringLiteral("rvkmanual.pdf"));
    if (!manual.isFile())
        manual.setFile(toQt(programDocumentPath(mOptions.programFolder, "rvkmanual.pdf")));
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
    if (!mOptions.startFiles.isEmpty()) {
        openFiles(mOptions.startFiles);
        refreshRecentCaptions();
    }
    switchSelectionFilteringOff();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    storeDefaultSettings();
    event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    QStringList paths;
    for (const QUrl &url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    event->acceptProposedAction();
    openDataFiles(paths);
}

// ---------------------------------------------------------------------------------------------
// Default settings

void MainWindow::loadSettingsFile(const std::string &path)
{
    std::string errorText;
    if (!loadSettingsWithData(path, mData, mSettings, &errorText))
        mUi->warning(errorText);
    refreshRecentCaptions();
    (mSettings.drawing.blackAndWhite() ? mBlackAndWhiteTool : mColourTool)->setChecked(true);
    mDrawingPage->setOptions(mSettings.drawing);
    mAllelePage->model()->reload();
}

void MainWindow::loadDefaultSettings() { loadSettingsFile(mSettingsFile); }

void MainWindow::storeDefaultSettings()
{
    storeDataIntoSettings(mData, mSettings);
    std::string errorText;
    if (!saveSettings(mSettingsFile, mSettings, &errorText))
        mUi->warning(errorText);
}

QString MainWindow::openDialogFolder() const
{
    // The folder of the data opened last (kept by the settings from run to run), else the user's
    // documents folder; the program's own folder, the first start's value, is no data folder.
    const QFileInfo folder(toQt(mSettings.currentPath));
    if (!mSettings.currentPath.empty() && folder.isDir()
        && QDir::cleanPath(folder.absoluteFilePath()) != QDir::cleanPath(QFileInfo(toQt(mSettings.programFolder)).absoluteFilePath()))
        return QDir::cleanPath(folder.absoluteFilePath());
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

} // namespace rvk
