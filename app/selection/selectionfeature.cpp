#include "app/features.h"

#include "app/mainwindow.h"
#include "app/selection/markerselectionpage.h"
#include "app/selection/selectionresultspage.h"
#include "selection/selectionlists.h"

#include <QAction>
#include <QTabWidget>

namespace rvk {

namespace {

const QString SpecifyCriteria = QStringLiteral("&Specify Criteria..");
const QString ViewCriteria = QStringLiteral("&View Criteria and Results");
const QString ApplyFiltering = QStringLiteral("&Apply Selection Filtering");

// Keeps the two selection pages, the menu's filtering check and the selection panel of the
// status bar in step with the data set's selection state.
class SelectionFeature : public QObject
{
public:
    explicit SelectionFeature(MainWindow &window)
        : QObject(&window),
          mWindow(window)
    {
        mResults = new SelectionResultsPage(window);
        mCriteria = new MarkerSelectionPage(window, mResults->texts());
        window.setPageWidget(MainWindow::MarkerSelectionPage, mCriteria);
        window.setPageWidget(MainWindow::SelectionResultsPage, mResults);

        // The pages wait for the first data set; the menu does nothing until they are enabled.
        window.attachCommand(SpecifyCriteria, [this] {
            if (!mWindow.pages()->isTabEnabled(MainWindow::MarkerSelectionPage))
                return;
            mCriteria->buildIfNeeded();
            mWindow.showPage(MainWindow::MarkerSelectionPage);
        });
        window.attachCommand(ViewCriteria, [this] {
            if (mWindow.pages()->isTabEnabled(MainWindow::SelectionResultsPage))
                mWindow.showPage(MainWindow::SelectionResultsPage);
        });
        window.attachCommand(ApplyFiltering, [this] { mCriteria->toggleFiltering(); });

        connect(mCriteria, &MarkerSelectionPage::selectionChanged, this, &SelectionFeature::showSelectionState);
        connect(mResults, &SelectionResultsPage::selectionChanged, this, &SelectionFeature::showSelectionState);
        connect(&window, &MainWindow::pageChanged, this, &SelectionFeature::pageChanged);
        connect(&window, &MainWindow::dataSetLoaded, this, &SelectionFeature::dataSetReplaced);
        connect(&window, &MainWindow::dataSetClosed, this, &SelectionFeature::dataSetReplaced);
        connect(&window, &MainWindow::individualsChanged, this, [this] {
            mResults->refreshList();
            mCriteria->refreshRows();
            syncFilteringCheck();
        });
    }

private:
    void syncFilteringCheck()
    {
        for (QAction *action : mWindow.commandActions(ApplyFiltering)) {
            action->setCheckable(true);
            action->setChecked(mWindow.data().Selectionyesno);
        }
    }

    void showSelectionState()
    {
        syncFilteringCheck();
        mWindow.setStatusText(2, QString::fromStdString(mResults->texts().statusText));
        mResults->refreshList();
        mResults->refreshTexts();
    }

    void pageChanged(int newPage, int oldPage)
    {
        if (oldPage == MainWindow::MarkerSelectionPage && newPage != oldPage)
            mCriteria->leave(newPage);
        else if (oldPage == MainWindow::SelectionResultsPage && newPage != oldPage)
            mResults->leave(newPage);
        if (newPage == MainWindow::MarkerSelectionPage || newPage == MainWindow::SelectionResultsPage)
            mCriteria->buildIfNeeded();
        if (newPage == MainWindow::SelectionResultsPage) {
            mResults->refreshList();
            mResults->refreshTexts();
        }
    }

    // A load or a reset: the criteria list is built again when it is next needed, filtering is
    // off and the texts describe no selection.
    void dataSetReplaced()
    {
        mCriteria->resetList();
        mWindow.data().Selectionyesno = false;
        SelectionTexts &texts = mResults->texts();
        texts.clearMemos();
        texts.statusText = SelectionTexts::NoSelection;
        showSelectionState();
    }

    MainWindow &mWindow;
    MarkerSelectionPage *mCriteria = nullptr;
    SelectionResultsPage *mResults = nullptr;
};

} // namespace

void installSelectionFeature(MainWindow &window) { new SelectionFeature(window); }

} // namespace rvk
