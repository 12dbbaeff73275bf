#include "app/features.h"

#include "app/association/associationpage.h"
#include "app/distances/distancepage.h"
#include "app/distances/treewindow.h"
#include "app/mainwindow.h"
#include "genetics/traitdistance.h"

#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace rvk {

namespace {

// "Calc Euclidean Distances" on "Trait Plotting && stats": distances from the trait table
// between individuals ("genotypes") or between the ticked traits ("traits").
QWidget *traitDistanceControls(MainWindow &window, AssociationPage &traits, DistancePage &distances)
{
    auto *box = new QGroupBox(QStringLiteral("Euclidean distances"));
    box->setObjectName(QStringLiteral("traitDistances"));
    auto *genotypes = new QRadioButton(QStringLiteral("genotypes"));
    genotypes->setObjectName(QStringLiteral("geno_traitdist"));
    genotypes->setChecked(true);
    auto *betweenTraits = new QRadioButton(QStringLiteral("traits"));
    betweenTraits->setObjectName(QStringLiteral("trait_traitdist"));
    auto *calculate = new QPushButton(QStringLiteral("Calc Euclidean Distances"));
    calculate->setObjectName(QStringLiteral("trait_calcdistbtn"));
    auto *layout = new QVBoxLayout(box);
    layout->addWidget(genotypes);
    layout->addWidget(betweenTraits);
    layout->addWidget(calculate);
    QObject::connect(calculate, &QPushButton::clicked, box, [&window, &traits, &distances, genotypes] {
        std::vector<bool> ticked;
        const QListWidget *list = traits.plotTraitList();
        for (int k = 0; k < list->count(); ++k)
            ticked.push_back(list->item(k)->checkState() == Qt::Checked);
        TraitDistanceOutcome outcome = computeTraitDistances(
            traits.traitTable(), ticked, genotypes->isChecked() ? TraitDistanceEntries::Genotypes : TraitDistanceEntries::Traits);
        distances.showTraitMatrix(std::move(outcome.matrix));
        window.showPage(MainWindow::DistancesPage);
        if (!outcome.error.empty())
            window.userInterface().error(outcome.error);
    });
    return box;
}

} // namespace

void installDistanceFeature(MainWindow &window)
{
    auto *page = new DistancePage(window);
    window.setPageWidget(MainWindow::DistancesPage, page);
    window.attachCommand(QStringLiteral("Calculate genetic distance"), [&window] { window.showPage(MainWindow::DistancesPage); });
    if (AssociationPage *traits = associationPage(window))
        traits->addTraitPlottingWidget(traitDistanceControls(window, *traits, *page));
    // Matrices and trees of the genotypes of a closed data set, or of one that more groups joined,
    // describe data no longer there.
    QObject::connect(&window, &MainWindow::dataSetClosed, page, [page] { page->dataSetClosed(); });
    QObject::connect(&window, &MainWindow::dataSetLoaded, page, [page] { page->dataSetClosed(); });
}

} // namespace rvk
