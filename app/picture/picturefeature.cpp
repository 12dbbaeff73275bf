#include "app/picture/picturefeature.h"

#include "app/dataediting/individualfield.h"
#include "app/mainwindow.h"
#include "app/picture/imagepage.h"
#include "app/picture/pictureclipboard.h"
#include "app/picture/placeholderpicture.h"
#include "app/picture/printpreviewpage.h"
#include "app/settings/drawingoptionspage.h"
#include "app/toolicons.h"
#include "core/statustexts.h"
#include "render/allinoneview.h"
#include "render/individualview.h"
#include "render/linkagegroupview.h"
#include "render/paintersurface.h"
#include "render/pictureexport.h"
#include "render/picturefiles.h"
#include "render/printlayout.h"
#include "stats/markerstatistics.h"

#include <QAbstractButton>
#include <QAction>
#include <QActionGroup>
#include <QButtonGroup>
#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRadioButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>

namespace rvk {

namespace {

QString toQt(const std::string &text) { return QString::fromStdString(text); }

const QString NoData = QStringLiteral("no data");

} // namespace

PictureFeature::PictureFeature(MainWindow &window) : QObject(&window), mWindow(window)
{
    buildPage();
    connect(&window, &MainWindow::pageChanged, this, &PictureFeature::pageChanged);
}

PictureFeature::~PictureFeature() = default;

void PictureFeature::buildPage()
{
    auto *imageTab = new QWidget;
    auto *imageLayout = new QVBoxLayout(imageTab);
    imageLayout->setContentsMargins(2, 2, 2, 2);
    auto *organizeBy = new QGroupBox(QStringLiteral("Organize by:"));
    organizeBy->setObjectName(QStringLiteral("RadioGroup1"));
    auto *modeLayout = new QHBoxLayout(organizeBy);
    modeLayout->setContentsMargins(6, 2, 6, 2);
    mViewModeButtons = new QButtonGroup(this);
    const QStringList modes = {QStringLiteral("Linkage Group"), QStringLiteral("Individual"), QStringLiteral("All in one"),
                               QStringLiteral("Association")};
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
    connect(mImagePage, &ImagePage::pointerMoved, this, &PictureFeature::pointerMovedOnPicture);
    connect(mImagePage, &ImagePage::pointerClicked, this, &PictureFeature::pointerClickedOnPicture);
    imageLayout->addWidget(mImagePage, 1);
    mWindow.setPageWidget(MainWindow::ImagePageIndex, imageTab);

    mPreviewPage = new PrintPreviewPage;
    mWindow.setPageWidget(MainWindow::PrintPreviewPageIndex, mPreviewPage);
    connect(mPreviewPage, &PrintPreviewPage::orientationChanged, this, &PictureFeature::buildPrintPreview);
    connect(mPreviewPage, &PrintPreviewPage::printRequested, this, &PictureFeature::printPreview);

    // A resized window gets a picture of its new size once the resizing pauses.
    mResizeRedraw = new QTimer(this);
    mResizeRedraw->setSingleShot(true);
    mResizeRedraw->setInterval(150);
    connect(mResizeRedraw, &QTimer::timeout, this, &PictureFeature::redrawIfShown);
    connect(mImagePage, &ImagePage::viewportResized, mResizeRedraw, qOverload<>(&QTimer::start));
    mImagePage->setPicture(drawPlaceholderPicture(mImagePage->pictureAreaSize()));
}

void PictureFeature::pageChanged(int page, int oldPage)
{
    // Entering the image shows the settings in force; so does leaving the settings.
    const bool loaded = mWindow.data().GroupCount() > 0;
    if ((page == MainWindow::ImagePageIndex || oldPage == MainWindow::SettingsPage) && loaded)
        drawCurrentView();
    if (page == MainWindow::PrintPreviewPageIndex) {
        // The preview shows the data as they are now (a sort or an edit since the last drawing
        // included) at the window's current size.
        if (loaded && mViewMode != AssociationMode)
            drawCurrentView();
        buildPrintPreview();
    }
}

// ---------------------------------------------------------------------------------------------
// Tool bar

void PictureFeature::addViewTools(QToolBar *tools)
{
    auto *viewTools = new QActionGroup(this);
    const QStringList viewHints = {QStringLiteral("Linkage group view"), QStringLiteral("Individual view"),
                                   QStringLiteral("draw all linkage groups")};
    const QStringList viewLetters = {QStringLiteral("LG"), QStringLiteral("Ind"), QStringLiteral("All")};
    for (int mode = 0; mode < 3; ++mode) {
        QAction *action = addTool(tools, letterIcon(viewLetters[mode], QColor(190, 215, 240)), viewHints[mode], true);
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
}

void PictureFeature::addGroupTools(QToolBar *tools)
{
    mGroupSelector = new QComboBox;
    mGroupSelector->setObjectName(QStringLiteral("groupnr"));
    mGroupSelector->setMinimumContentsLength(12);
    mGroupSelector->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    connect(mGroupSelector, &QComboBox::activated, this, [this](int) { RadioGroup1Click(); });
    tools->addWidget(mGroupSelector);
    showNoDataSelector();
    QStyle *look = mWindow.style();
    addTool(tools, look->standardIcon(QStyle::SP_ArrowLeft), QStringLiteral("prev group"));
    addTool(tools, look->standardIcon(QStyle::SP_ArrowRight), QStringLiteral("next group"));
}

void PictureFeature::addColourTools(QToolBar *tools)
{
    auto *colourTools = new QActionGroup(this);
    mColourTool = addTool(tools, letterIcon(QStringLiteral("C"), QColor(250, 180, 120)), QStringLiteral("Color drawing"), true);
    mBlackAndWhiteTool =
        addTool(tools, letterIcon(QStringLiteral("BW"), QColor(220, 220, 220)), QStringLiteral("B&&W drawing"), true);
    mBlackAndWhiteTool->setToolTip(QStringLiteral("B&W drawing"));
    for (QAction *action : {mColourTool, mBlackAndWhiteTool}) {
        action->setCheckable(true);
        colourTools->addAction(action);
    }
    mColourTool->setChecked(true);
    connect(mColourTool, &QAction::triggered, this, [this] { setColorMode(DrawingOptions::ColorMode::Color); });
    connect(mBlackAndWhiteTool, &QAction::triggered, this, [this] { setColorMode(DrawingOptions::ColorMode::BlackAndWhite); });
}

void PictureFeature::addZoomTool(QToolBar *tools)
{
    QAction *zoom = addTool(tools, letterIcon(QStringLiteral("Z"), QColor(240, 240, 240)), QStringLiteral("Zoom factor"), true);
    auto *zoomMenu = new QMenu(&mWindow);
    zoomMenu->setObjectName(QStringLiteral("ZoomMenu"));
    for (const ZoomMenuEntry &zoomEntry : zoomMenuEntries()) {
        QAction *entry = zoomMenu->addAction(QString::fromLatin1(zoomEntry.caption));
        connect(entry, &QAction::triggered, this, [this, tag = zoomEntry.tag] { zoomTo(tag); });
    }
    zoom->setMenu(zoomMenu);
    if (auto *button = qobject_cast<QToolButton *>(tools->widgetForAction(zoom)))
        button->setPopupMode(QToolButton::InstantPopup);
}

void PictureFeature::addIndividualTools(QToolBar *tools)
{
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
    connect(mIndividualField, &IndividualField::stepRequested, this, &PictureFeature::stepIndividual);
    connect(mIndividualField, &IndividualField::numberEntered, this, &PictureFeature::enterIndividual);
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
            if (mWindow.data().GroupCount() > 0)
                redrawbtnClick();
        });
    }
    mRangePanel = tools->addWidget(range);
    updateModePanels();
}

void PictureFeature::attachCommands()
{
    mWindow.attachCommand(QStringLiteral("prev group"), [this] { previousGroup(); });
    mWindow.attachCommand(QStringLiteral("next group"), [this] { nextGroup(); });
    mWindow.attachCommand(QStringLiteral("Refresh drawing"), [this] { redrawbtnClick(); });
    mWindow.attachCommand(QStringLiteral("Copy Image to Clipboard"), [this] { copyImageToClipboard(); });
    mWindow.attachCommand(QStringLiteral("Save RVK image as &Jpeg (.jpg)"), [this] { saveImageAsJpeg(); });
    mWindow.attachCommand(QStringLiteral("&Save RVK image as Metafile (.EMF)"), [this] { saveImageAsMetafile(); });
    mWindow.attachCommand(QStringLiteral("Save Image as metafile"), [this] { saveImageAsMetafile(); });
    mWindow.attachCommand(QStringLiteral("Printer &Setup"), [this] { printerSetup(); });
    mWindow.attachCommand(QStringLiteral("&Print RVK.."), [this] { printDrawing(); });
    mWindow.attachCommand(QStringLiteral("Print drawing"), [this] { printDrawing(); });
}

// ---------------------------------------------------------------------------------------------
// The controls that follow the data set

void PictureFeature::showNoDataSelector()
{
    const QSignalBlocker blocker(mGroupSelector);
    mGroupSelector->clear();
    mGroupSelector->addItem(NoData);
    mGroupSelector->setCurrentIndex(0);
    mGroupSelector->setEnabled(false);
}

void PictureFeature::clearNoDataSelector()
{
    if (mGroupSelector->itemText(0) == NoData) {
        const QSignalBlocker blocker(mGroupSelector);
        mGroupSelector->clear();
    }
}

void PictureFeature::rebuildGroupSelector(bool enabled, int current)
{
    const GenotypeData &data = mWindow.data();
    const QSignalBlocker blocker(mGroupSelector);
    if (data.GroupCount() == 0) {
        showNoDataSelector();
        return;
    }
    mGroupSelector->clear();
    for (int k = 0; k < data.GroupCount(); ++k)
        mGroupSelector->addItem(toQt(groupSelectorText(data, k)));
    mGroupSelector->setCurrentIndex(current);
    mGroupSelector->setEnabled(enabled);
}

void PictureFeature::followPopulation()
{
    const QSignalBlocker firstBlocker(mFirstShown);
    const QSignalBlocker lastBlocker(mLastShown);
    const int last = std::max(1, mWindow.data().nind);
    mFirstShown->setRange(1, last);
    mLastShown->setRange(1, last);
    mLastShown->setValue(last);
}

void PictureFeature::showNoData()
{
    mImagePage->setPicture(drawNoDataPicture(mImagePage->pictureAreaSize()));
    mViewPicture = ViewPicture();
    mPointerLayout.reset();
    for (QSpinBox *field : {mFirstShown, mLastShown}) {
        const QSignalBlocker blocker(field);
        field->setValue(1);
    }
}

void PictureFeature::forgetPicture()
{
    mViewPicture = ViewPicture();
    mPointerLayout.reset();
}

void PictureFeature::updateModePanels()
{
    mIndividualBrowser->setVisible(mViewMode == IndividualMode);
    mRangePanel->setVisible(mViewMode == LinkageGroupMode || mViewMode == AllInOneMode);
}

// ---------------------------------------------------------------------------------------------
// View dispatch

void PictureFeature::setViewMode(ViewMode mode)
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

void PictureFeature::showDataView()
{
    // The association plot belongs to the run that drew it: new data show their linkage groups.
    if (mViewMode == AssociationMode)
        setViewMode(LinkageGroupMode);
    else
        RadioGroup1Click();
}

void PictureFeature::RadioGroup1Click()
{
    GenotypeData &data = mWindow.data();
    const int groups = data.GroupCount();
    if (groups == 0)
        return;
    mLastShown->setMaximum(std::max(1, data.nind));
    if (mGroupSelector->currentIndex() < 0 || mGroupSelector->currentIndex() >= groups) {
        const QSignalBlocker blocker(mGroupSelector);
        mGroupSelector->setCurrentIndex(0);
    }
    const int group = mGroupSelector->currentIndex();
    data.CurrentGroupName = data.GroupName(group);
    mWindow.setStatusText(0, toQt(dataSummaryText(data, group)));

    if (data.Selectionyesno && mViewMode == IndividualMode) {
        const auto ticked = [&data](int individual) {
            return individual >= 1 && individual <= static_cast<int>(data.Ticked.size())
                   && data.Ticked[static_cast<size_t>(individual - 1)];
        };
        if (!ticked(data.CurrentIndividual)) {
            while (data.CurrentIndividual < data.LastIndividual && !ticked(data.CurrentIndividual))
                ++data.CurrentIndividual;
            if (!ticked(data.CurrentIndividual)) {
                mWindow.userInterface().warning("Selection too intense, no plants meet the set criteria");
                setViewMode(LinkageGroupMode);
                return;
            }
        }
    }
    redrawbtnClick();
}

void PictureFeature::redrawbtnClick()
{
    GenotypeData &data = mWindow.data();
    if (data.GroupCount() > 0) {
        switch (mViewMode) {
        case LinkageGroupMode:
        case AllInOneMode:
            mGroupSelector->setEnabled(true);
            break;
        case IndividualMode: {
            data.LastIndividual = data.nind;
            mGroupSelector->setEnabled(true);
            const QSignalBlocker blocker(mIndividualField);
            mIndividualField->setRange(std::min(1, data.nind), data.nind);
            mIndividualField->setValue(data.CurrentIndividual);
            const int index = data.CurrentIndividual - 1;
            if (index >= 0 && index < static_cast<int>(data.IndividualNames.size()))
                mWindow.setStatusText(1, toQt(data.IndividualNames[static_cast<size_t>(index)]));
            break;
        }
        case AssociationMode:
            break;
        }
        updateModePanels();
        drawCurrentView();
    }
    mWindow.showPage(MainWindow::ImagePageIndex);
}

void PictureFeature::redrawIfShown()
{
    if (mWindow.data().GroupCount() > 0 && mWindow.pages()->currentIndex() == MainWindow::ImagePageIndex)
        drawCurrentView();
}

DrawContext PictureFeature::drawContext() const
{
    DrawContext context;
    context.options = mWindow.displaySettings().drawing;
    context.zoom = mZoomFactor;
    context.deducePhase = mWindow.generalOptions().deducephase;
    context.visibleHeight = mImagePage->viewport()->height();
    context.group = std::max(0, mGroupSelector->currentIndex());
    context.firstIndividual = mFirstShown->value();
    context.lastIndividual = mLastShown->value();
    context.currentIndividual = mWindow.data().CurrentIndividual;
    context.skipUnselected = mSkipUnselected;
    return context;
}

void PictureFeature::drawCurrentView()
{
    GenotypeData &data = mWindow.data();
    AlleleTable &alleles = mWindow.alleles();
    if (data.GroupCount() == 0)
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
        picture = drawLinkageGroupView(data, alleles, context, &layout);
        pointer.view = ViewKind::LinkageGroup;
        pointer.markSpace = layout.markSpace;
        showAutosizedMarkSpace(layout.markSpace);
        break;
    }
    case IndividualMode:
        picture = drawIndividualView(data, alleles, context);
        pointer.view = ViewKind::Individual;
        break;
    case AllInOneMode: {
        // The consensus row shows the major alleles as they are now.
        refreshMajorAlleles(data, alleles);
        AllInOneView::Layout layout;
        picture = drawAllInOneView(data, alleles, context, mImagePage->viewport()->width(), &layout, &mWindow.userInterface());
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
    emit mWindow.viewDrawn();
}

void PictureFeature::showAutosizedMarkSpace(int markSpace)
{
    // With "autosize" the views measure the marker names; the field shows what they measured.
    // The field holds at most its range; the view itself keeps the whole measured space.
    DrawingOptions &drawing = mWindow.displaySettings().drawing;
    const int shown = DrawingOptions::markspaceRange.clamp(markSpace);
    if (!drawing.autosize || drawing.markspace == shown)
        return;
    drawing.markspace = shown;
    mWindow.drawingOptionsPage()->setOptions(drawing);
}

void PictureFeature::showViewPicture(const ViewPicture &picture)
{
    // Replayed once into a bitmap: scrolling then moves pixels and never paints again.
    QImage image = blankPicture(QSize(picture.width(), picture.height()));
    {
        PainterSurface surface(image);
        picture.replay(surface);
    }
    mImagePage->setPicture(image);
}

void PictureFeature::showPicture(ViewPicture picture)
{
    mWindow.showPage(MainWindow::ImagePageIndex);
    mPointerLayout.reset(); // the pointer layout was the current view's
    showViewPicture(picture);
    mViewPicture = std::move(picture);
}

void PictureFeature::showAssociationPicture(ViewPicture picture, std::vector<std::string> plottedTraits,
                                            std::vector<int> rowTops, std::vector<int> rowBottoms)
{
    mViewMode = AssociationMode;
    if (QAbstractButton *button = mViewModeButtons->button(AssociationMode)) {
        const QSignalBlocker blocker(mViewModeButtons);
        button->setChecked(true);
    }
    PointerLayout pointer;
    pointer.view = ViewKind::Association;
    pointer.zoom = mZoomFactor;
    pointer.barWidth = mWindow.displaySettings().drawing.barwidth;
    pointer.space = mWindow.displaySettings().drawing.space;
    pointer.traitRowTops = std::move(rowTops);
    pointer.traitRowBottoms = std::move(rowBottoms);
    mPlottedTraits = std::move(plottedTraits);
    mWindow.showPage(MainWindow::ImagePageIndex);
    showViewPicture(picture);
    mViewPicture = std::move(picture);
    mPointerLayout = pointer;
}

void PictureFeature::setColorMode(DrawingOptions::ColorMode mode)
{
    // The page applies the colour-mode rule and asks for the redraw.
    mWindow.drawingOptionsPage()->chooseColorMode(mode);
}

void PictureFeature::showColorMode(bool blackAndWhite) { (blackAndWhite ? mBlackAndWhiteTool : mColourTool)->setChecked(true); }

void PictureFeature::zoomTo(int tag)
{
    mZoomFactor = zoomFactorForTag(tag);
    mWindow.setStatusText(3, toQt(zoomStatusText(mZoomFactor)));
    redrawbtnClick();
}

// ---------------------------------------------------------------------------------------------
// Stepping through groups and individuals

void PictureFeature::previousGroup()
{
    if (mViewMode == LinkageGroupMode) {
        const int current = mGroupSelector->currentIndex();
        if (mWindow.data().GroupCount() > 0 && current > 0) {
            const QSignalBlocker blocker(mGroupSelector);
            mGroupSelector->setCurrentIndex(current - 1);
            RadioGroup1Click();
        }
    } else if (mViewMode == IndividualMode) {
        stepIndividual(StepDirection::Down);
    }
}

void PictureFeature::nextGroup()
{
    if (mViewMode == LinkageGroupMode) {
        const int current = mGroupSelector->currentIndex();
        if (mWindow.data().GroupCount() > 0 && current + 1 < mWindow.data().GroupCount()) {
            const QSignalBlocker blocker(mGroupSelector);
            mGroupSelector->setCurrentIndex(current + 1);
            RadioGroup1Click();
        }
    } else if (mViewMode == IndividualMode) {
        stepIndividual(StepDirection::Up);
    }
}

void PictureFeature::stepIndividual(StepDirection direction)
{
    GenotypeData &data = mWindow.data();
    if (data.GroupCount() == 0)
        return;
    if (const std::optional<int> individual = rvk::stepIndividual(data, direction)) {
        data.CurrentIndividual = *individual;
        redrawbtnClick();
    }
}

void PictureFeature::enterIndividual(const QString &text)
{
    GenotypeData &data = mWindow.data();
    if (data.GroupCount() == 0)
        return;
    if (const std::optional<int> individual = enteredIndividual(text.toStdString(), data.LastIndividual))
        data.CurrentIndividual = *individual;
    redrawbtnClick();
}

// ---------------------------------------------------------------------------------------------
// Pointer on the picture

void PictureFeature::pointerMovedOnPicture(QPoint position)
{
    const GenotypeData &data = mWindow.data();
    if (data.GroupCount() == 0 || !mPointerLayout)
        return;
    const HoverResult hover =
        hoverAt(*mPointerLayout, position.x(), position.y(), data.SelectedIndices, data.IndividualNames, mPlottedTraits);
    if (!hover.tooltipEnabled)
        mImagePage->setPictureHint(QString());
    else if (!hover.tooltip.empty())
        mImagePage->setPictureHint(toQt(hover.tooltip));
    if (!hover.statusText.empty())
        mWindow.setStatusText(1, toQt(hover.statusText));
}

void PictureFeature::pointerClickedOnPicture(QPoint position, Qt::MouseButton button)
{
    GenotypeData &data = mWindow.data();
    if (data.GroupCount() == 0 || !mPointerLayout || (button != Qt::LeftButton && button != Qt::RightButton))
        return;
    const ClickResult click = inspectAt(*mPointerLayout, position.x(), position.y(),
                                        button == Qt::RightButton ? PointerButton::Right : PointerButton::Left,
                                        data.SelectedIndices, data.IndividualNames, mPlottedTraits);
    switch (click.action) {
    case ClickResult::Action::None:
        break;
    case ClickResult::Action::SelectTrait:
        mWindow.setStatusText(1, toQt(click.text));
        emit mWindow.traitClickedOnPicture(click.trait);
        break;
    case ClickResult::Action::SwitchToLinkageGroup:
        setViewMode(LinkageGroupMode);
        break;
    case ClickResult::Action::ShowTooltip:
        mImagePage->setPictureHint(toQt(click.text));
        QToolTip::showText(QCursor::pos(), toQt(click.text), mImagePage);
        break;
    case ClickResult::Action::OpenIndividual:
        data.CurrentIndividual = click.individual;
        setViewMode(IndividualMode);
        break;
    }
}

// ---------------------------------------------------------------------------------------------
// Picture files, clipboard, printing

void PictureFeature::saveImageAsMetafile() { saveImageAs(MetafileFirstFilter, "emf"); }

void PictureFeature::saveImageAsJpeg() { saveImageAs(JpegFirstFilter, "jpg"); }

void PictureFeature::saveImageAs(const char *filter, const char *defaultExtension)
{
    if (mViewPicture.isEmpty())
        return;
    const std::string path = mWindow.userInterface().saveFileName("Save Image", filter, {});
    if (path.empty())
        return;
    std::string written;
    std::string errorText;
    if (!savePictureFile(mViewPicture, path, defaultExtension, written, errorText))
        mWindow.userInterface().warning(errorText);
}

void PictureFeature::copyImageToClipboard()
{
    if (mViewPicture.isEmpty())
        return;
    // The metafile is kept in the working folder, as other programs may still read it.
    std::string errorText;
    if (!copyPictureToClipboard(mViewPicture, QDir::currentPath().toStdString(), errorText))
        mWindow.userInterface().warning(errorText);
}

void PictureFeature::buildPrintPreview()
{
    QImage bitmap;
    if (mViewPicture.isEmpty()) {
        bitmap = mImagePage->picture(); // the placeholder
    } else {
        // A picture smaller than the image area is previewed, printed and saved at the area's size.
        const QSize size = previewPictureSize(mViewPicture.width(), mViewPicture.height(), mImagePage->viewport()->width(),
                                              mImagePage->viewport()->height());
        mViewPicture.setSize(size.width(), size.height());
        bitmap = renderPictureToImage(mViewPicture);
    }
    mPreviewPage->build(bitmap);
}

void PictureFeature::printPreview()
{
    QPrinter &device = printer();
    device.setDocName(QString::fromLatin1(PreviewDocumentTitle));
    device.setPageOrientation(mPreviewPage->orientation() == PageOrientation::Portrait ? QPageLayout::Portrait
                                                                                       : QPageLayout::Landscape);
    QPrintDialog dialog(&device, &mWindow);
    if (dialog.exec() != QDialog::Accepted)
        return;
    std::string errorText;
    if (!mPreviewPage->printPages(device, errorText))
        mWindow.userInterface().warning(errorText);
}

void PictureFeature::printerSetup()
{
    QPageSetupDialog dialog(&printer(), &mWindow);
    dialog.exec();
}

QPrinter &PictureFeature::printer()
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

void PictureFeature::printDrawing()
{
    if (mViewPicture.isEmpty())
        return;
    QPrinter &device = printer();
    device.setDocName(QString::fromLatin1(PrintDocumentTitle));
    device.setPageOrientation(printLandscape(mViewPicture.width(), mViewPicture.height()) ? QPageLayout::Landscape
                                                                                          : QPageLayout::Portrait);
    QPrintDialog dialog(&device, &mWindow);
    if (dialog.exec() != QDialog::Accepted)
        return;
    printTo(device);
}

void PictureFeature::printTo(QPagedPaintDevice &device)
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
    const PrintOutcome outcome = printCurrentView(device, view, mViewPicture, mWindow.data(), mWindow.alleles(), context,
                                                  mImagePage->viewport()->width(), &mWindow.userInterface());
    if (!outcome.printed && !outcome.error.empty())
        mWindow.userInterface().warning(outcome.error);
    // Back to the picture at the zoom on screen.
    drawCurrentView();
}

} // namespace rvk
