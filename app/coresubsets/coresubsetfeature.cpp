#include "app/features.h"

#include "app/association/associationpage.h"
#include "app/coresubsets/convergencechart.h"
#include "app/coresubsets/coresubsetpanel.h"
#include "app/mainwindow.h"
#include "app/selection/selectionresultspage.h"
#include "selection/coresubsetrandom.h"

#include <QBoxLayout>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace rvk {

namespace {

// A running search seen from the window: the status bar's progress bar and a progress window
// with "Cancel". The window keeps answering (events are processed a few times a second) while
// the progress window, modal to the main window, keeps the data set from changing under the
// search.
class WindowSearchObserver : public CoreSubsetObserver
{
public:
    static constexpr int PollMilliseconds = 40;

    WindowSearchObserver(MainWindow &window, SelectionResultsPage &page, QProgressDialog &dialog)
        : mWindow(window), mPage(page), mDialog(dialog)
    {
        mTimer.start();
    }

    void progress(long long position, long long maximum) override
    {
        mPosition = position;
        mMaximum = maximum;
        if (position == 0)
            show();
    }
    void statusText(const std::string &text) override { mWindow.setStatusText(1, QString::fromStdString(text)); }
    // The check list follows the search; the subset left at the end is applied afterwards.
    void subsetChanged(const Subset &subset) override
    {
        if (subset.size() != mWindow.data().Ticked.size())
            return;
        mWindow.data().Ticked = subset;
        mListStale = true;
    }
    bool poll() override
    {
        if (mTimer.elapsed() >= PollMilliseconds) {
            show();
            if (mListStale) {
                mPage.refreshList();
                mListStale = false;
            }
            QCoreApplication::processEvents();
            mTimer.restart();
        }
        return mDialog.wasCanceled();
    }

private:
    void show()
    {
        mWindow.userInterface().setProgress(mPosition, mMaximum);
        if (mMaximum > 0) {
            // Whole percent keeps the range within int for any number of steps.
            mDialog.setMaximum(100);
            mDialog.setValue(static_cast<int>(mPosition * 100 / mMaximum));
        }
    }

    MainWindow &mWindow;
    SelectionResultsPage &mPage;
    QProgressDialog &mDialog;
    QElapsedTimer mTimer;
    bool mListStale = false;
    long long mPosition = 0;
    long long mMaximum = 0;
};

class CoreSubsetFeature : public QObject
{
public:
    explicit CoreSubsetFeature(MainWindow &window)
        : QObject(&window),
          mWindow(window)
    {
        setObjectName(QStringLiteral("CoreSubsetFeature"));
        mPanel = new CoreSubsetPanel;
        mPage = qobject_cast<SelectionResultsPage *>(window.pageWidget(MainWindow::SelectionResultsPage));
        if (mPage) {
            // A column of its own between the list's buttons and the result texts.
            if (auto *columns = qobject_cast<QBoxLayout *>(mPage->layout()))
                columns->insertWidget(std::min(2, columns->count()), mPanel);
            else
                mPanel->setParent(mPage);
        } else {
            mPanel->setParent(&window);
        }

        // The chart stands on "Trait Plotting && stats"; "show convergenge chart" shows that page.
        mChart = new ConvergenceChart;
        mTraitPage = associationPage(window);
        if (mTraitPage) {
            mTraitPage->addTraitPlottingWidget(mChart);
        } else {
            mChartWindow = new QWidget(&window, Qt::Window);
            mChartWindow->setObjectName(QStringLiteral("ConvergenceChartWindow"));
            mChartWindow->setWindowTitle(QStringLiteral("Convergence chart"));
            (new QVBoxLayout(mChartWindow))->addWidget(mChart);
        }

        connect(mPanel, &CoreSubsetPanel::selectRequested, this, &CoreSubsetFeature::select);
        connect(mPanel, &CoreSubsetPanel::chartRequested, this, [this] {
            if (mTraitPage) {
                mWindow.showPage(MainWindow::AssociationsPage);
                mTraitPage->subPages()->setCurrentIndex(AssociationPage::TraitPlottingPage);
                return;
            }
            mChartWindow->show();
            mChartWindow->raise();
        });
        connect(&window, &MainWindow::pageChanged, this, [this](int newPage, int) {
            if (newPage == MainWindow::SelectionResultsPage)
                mPanel->followPopulation(mWindow.data().nind);
        });
        // The convergence of a search over the data set before is no longer of these data.
        const auto dropChart = [this] {
            mChart->clear();
            if (mChartWindow)
                mChartWindow->hide();
            mPanel->chartButton()->setEnabled(false);
        };
        connect(&window, &MainWindow::dataSetLoaded, this, [this, dropChart] {
            dropChart();
            mPanel->followPopulation(mWindow.data().nind);
        });
        connect(&window, &MainWindow::dataSetClosed, this, dropChart);
    }

private:
    void select()
    {
        GenotypeData &data = mWindow.data();
        if (mRunning || !mPage || data.GroupCount() == 0 || data.nind <= 0)
            return;
        mRunning = true;
        mPanel->setRunning(true);

        const GeneralOptions options = mWindow.generalOptions();
        const CoreSubsetSettings settings = mPanel->settings(options.iterrepeat, options.SArho);
        CoreSubsetRandom random(CoreSubsetRandom::clockSeed());
        const Subset start(data.Ticked.begin(), data.Ticked.end());
        const Subset fixed(data.Locked.begin(), data.Locked.end());
        SelectionTexts &texts = mPage->texts();

        // A size that cannot be searched ends the command before any progress window opens;
        // filtering turns on as after a search, and the logs of the last search stay.
        if (!coreSubsetSizeAccepted(data, start, fixed, settings.subpopsize)) {
            mWindow.userInterface().warning(CoreSubsetSizeWarning);
            applyCoreSubsetOutcome(data, CoreSubsetOutcome{}, texts);
            finish();
            return;
        }

        QProgressDialog dialog(QStringLiteral("Selecting a core subset..."), QStringLiteral("Cancel"), 0, 100, &mWindow);
        dialog.setObjectName(QStringLiteral("CoreSubsetProgress"));
        dialog.setWindowModality(Qt::WindowModal);
        dialog.setMinimumDuration(300);
        dialog.setAutoReset(false);
        dialog.setAutoClose(false);
        dialog.setValue(0);
        WindowSearchObserver observer(mWindow, *mPage, dialog);
        const CoreSubsetOutcome outcome =
            runCoreSubsetSearch(data, start, fixed, settings, random, texts, observer, mWindow.userInterface());
        dialog.close();
        mWindow.userInterface().setProgress(0, 0);

        mPanel->iterationsField()->setValue(outcome.maxiter);
        // Without a subset to show, the ticks the search followed go back to the start set.
        if (outcome.subset.size() != data.Ticked.size())
            data.Ticked = start;
        applyCoreSubsetOutcome(data, outcome, texts);
        if (!outcome.statusText.empty())
            mWindow.setStatusText(1, QString::fromStdString(outcome.statusText));
        if (outcome.searched) {
            const QColor colour = settings.method == CoreSubsetSettings::Method::Iterative ? QColor(Qt::blue) : QColor(Qt::red);
            mChart->setSeries(outcome.chart, QString::fromStdString(outcome.chartValueTitle),
                              QString::fromStdString(outcome.chartStepTitle), colour);
        }
        mPanel->chartButton()->setEnabled(true);
        finish();
    }

    void finish()
    {
        mPage->refreshList();
        mPage->refreshTexts();
        emit mPage->selectionChanged();
        emit mWindow.individualsChanged();
        mPanel->setRunning(false);
        mRunning = false;
    }

    MainWindow &mWindow;
    SelectionResultsPage *mPage = nullptr;
    CoreSubsetPanel *mPanel = nullptr;
    QWidget *mChartWindow = nullptr;       // only without the association page
    AssociationPage *mTraitPage = nullptr;
    ConvergenceChart *mChart = nullptr;
    bool mRunning = false;
};

} // namespace

void installCoreSubsetFeature(MainWindow &window) { new CoreSubsetFeature(window); }

} // namespace rvk
