#pragma once

#include "render/drawcontext.h"
#include "render/pointerinspection.h"
#include "render/viewpicture.h"
#include "settings/drawingoptions.h"

#include <QObject>
#include <QPoint>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QButtonGroup;
class QComboBox;
class QPagedPaintDevice;
class QPrinter;
class QSpinBox;
class QTimer;
class QToolBar;

namespace rvk {

class ImagePage;
class IndividualField;
class MainWindow;
class PrintPreviewPage;

// The page "RVK Image" and everything around the picture: the view modes, the group selector
// and the individual range of the tool bar, drawing the current view, zoom, stepping through
// groups and individuals, the pointer on the picture, saving and copying the picture, printing
// and the print preview.
class PictureFeature : public QObject
{
    Q_OBJECT

public:
    enum ViewMode { LinkageGroupMode, IndividualMode, AllInOneMode, AssociationMode };

    explicit PictureFeature(MainWindow &window);
    ~PictureFeature() override;

    // The tool-bar pieces, placed by the window in its order.
    void addViewTools(QToolBar *tools);
    void addGroupTools(QToolBar *tools);
    void addColourTools(QToolBar *tools);
    void addZoomTool(QToolBar *tools);
    void addIndividualTools(QToolBar *tools);
    // Connects the picture commands of the menus and the tool bar, once both exist.
    void attachCommands();

    ImagePage *imagePage() const { return mImagePage; }
    PrintPreviewPage *previewPage() const { return mPreviewPage; }
    QComboBox *groupSelector() const { return mGroupSelector; }
    ViewMode viewMode() const { return mViewMode; }
    double zoomFactor() const { return mZoomFactor; }
    const ViewPicture &viewPicture() const { return mViewPicture; }

    void setViewMode(ViewMode mode);
    void RadioGroup1Click();
    void redrawbtnClick();
    void setColorMode(DrawingOptions::ColorMode mode);
    // The colour tools show the mode of the settings in force.
    void showColorMode(bool blackAndWhite);
    DrawContext drawContext() const;
    void zoomTo(int tag);
    void redrawIfShown();
    void drawCurrentView();
    void showAutosizedMarkSpace(int markSpace);
    void showPicture(ViewPicture picture);
    void showAssociationPicture(ViewPicture picture, std::vector<std::string> plottedTraits, std::vector<int> rowTops,
                                std::vector<int> rowBottoms);
    // New data: the current view, or the linkage groups instead of the association plot.
    void showDataView();
    void setSkipUnselected(bool skip) { mSkipUnselected = skip; }

    // The group selector and the range fields follow the data set.
    void showNoDataSelector();
    void clearNoDataSelector();
    void rebuildGroupSelector(bool enabled, int current);
    void followPopulation();
    // "Close all": the empty picture, range fields at 1.
    void showNoData();
    // The picture shown is of a replaced data set: it is no longer printed, saved or inspected.
    void forgetPicture();

    void previousGroup();
    void nextGroup();
    void stepIndividual(StepDirection direction);
    void enterIndividual(const QString &text);
    void pointerMovedOnPicture(QPoint position);
    void pointerClickedOnPicture(QPoint position, Qt::MouseButton button);

    void saveImageAsMetafile();
    void saveImageAsJpeg();
    void copyImageToClipboard();
    void printerSetup();
    void printDrawing();
    void printTo(QPagedPaintDevice &device);
    QPrinter &printer();
    void buildPrintPreview();
    void printPreview();

private:
    void buildPage();
    void pageChanged(int page, int oldPage);
    void updateModePanels();
    void showViewPicture(const ViewPicture &picture);
    void saveImageAs(const char *filter, const char *defaultExtension);

    MainWindow &mWindow;
    ViewMode mViewMode = LinkageGroupMode;
    double mZoomFactor = 1.0;
    ViewPicture mViewPicture;
    std::unique_ptr<QPrinter> mPrinter; // made when first needed: finding printers takes time
    std::optional<PointerLayout> mPointerLayout; // how the last picture was laid out
    bool mSkipUnselected = true;
    std::vector<std::string> mPlottedTraits; // of the association plot shown

    ImagePage *mImagePage = nullptr;
    PrintPreviewPage *mPreviewPage = nullptr;
    QTimer *mResizeRedraw = nullptr;
    QButtonGroup *mViewModeButtons = nullptr;
    std::array<QAction *, 3> mViewTools{};
    QComboBox *mGroupSelector = nullptr;
    QAction *mColourTool = nullptr;
    QAction *mBlackAndWhiteTool = nullptr;
    IndividualField *mIndividualField = nullptr;
    QAction *mIndividualBrowser = nullptr;
    QSpinBox *mFirstShown = nullptr;
    QSpinBox *mLastShown = nullptr;
    QAction *mRangePanel = nullptr;
};

} // namespace rvk
