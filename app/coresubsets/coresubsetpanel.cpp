#include "app/coresubsets/coresubsetpanel.h"

#include "selection/selectionlists.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <limits>

namespace rvk {

namespace {

QSpinBox *spin(const char *name, int minimum, int maximum, int value, const char *hint = nullptr)
{
    auto *field = new QSpinBox;
    field->setObjectName(QString::fromLatin1(name));
    field->setRange(minimum, maximum);
    field->setValue(value);
    if (hint)
        field->setToolTip(QString::fromLatin1(hint));
    return field;
}

} // namespace

CoreSubsetPanel::CoreSubsetPanel(QWidget *parent)
    : QGroupBox(QStringLiteral("Core subset"), parent)
{
    namespace Captions = CoreSubsetCaptions;
    setObjectName(QStringLiteral("CoreSubsetPanel"));
    const CoreSubsetSettings defaults;

    mSelect = new QPushButton(QString::fromLatin1(Captions::SelectButton));
    mSelect->setObjectName(QStringLiteral("coreset_select"));
    mSize = spin("subpopsize", 1, std::numeric_limits<int>::max(), defaults.subpopsize);
    auto *sizeRow = new QHBoxLayout;
    sizeRow->addWidget(mSelect);
    sizeRow->addWidget(mSize);

    mCriterion = new QComboBox;
    mCriterion->setObjectName(QStringLiteral("divcriterion"));
    for (int c = 0; c < DiversityCriterionCount; ++c)
        mCriterion->addItem(QString::fromLatin1(diversityCriterionText(static_cast<DiversityCriterion>(c))));
    mCriterion->setCurrentIndex(0);

    mIterative = new QRadioButton(QString::fromLatin1(Captions::Iterative));
    mIterative->setObjectName(QStringLiteral("coreset_iterative"));
    mAnnealing = new QRadioButton(QString::fromLatin1(Captions::Annealing));
    mAnnealing->setObjectName(QStringLiteral("coreset_annealing"));
    mAnnealing->setChecked(true);

    mCycles = spin("corecycle", CoreSubsetRanges::CycleMin, CoreSubsetRanges::CycleMax, defaults.corecycle, Captions::CyclesHint);
    mIterations = spin("maxiter", CoreSubsetRanges::IterationMin, CoreSubsetRanges::IterationMax, defaults.maxiter,
                       Captions::IterationsHint);
    auto *numbers = new QFormLayout;
    numbers->addRow(QString::fromLatin1(Captions::Cycles), mCycles);
    numbers->addRow(QString::fromLatin1(Captions::Iterations), mIterations);

    mChart = new QPushButton(QString::fromLatin1(Captions::ChartButton));
    mChart->setObjectName(QStringLiteral("iterchartbtn"));
    mChart->setEnabled(false);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(sizeRow);
    layout->addWidget(mCriterion);
    layout->addWidget(mIterative);
    layout->addWidget(mAnnealing);
    layout->addLayout(numbers);
    layout->addWidget(mChart);
    layout->addStretch();

    connect(mSelect, &QPushButton::clicked, this, &CoreSubsetPanel::selectRequested);
    connect(mChart, &QPushButton::clicked, this, &CoreSubsetPanel::chartRequested);
}

CoreSubsetSettings CoreSubsetPanel::settings(int iterrepeat, int SArho) const
{
    CoreSubsetSettings settings;
    settings.method = mIterative->isChecked() ? CoreSubsetSettings::Method::Iterative : CoreSubsetSettings::Method::Annealing;
    settings.subpopsize = mSize->value();
    settings.criterion = static_cast<DiversityCriterion>(std::max(0, mCriterion->currentIndex()));
    settings.corecycle = mCycles->value();
    settings.maxiter = mIterations->value();
    settings.iterrepeat = iterrepeat;
    settings.SArho = SArho;
    return settings;
}

void CoreSubsetPanel::followPopulation(int nind)
{
    if (nind <= 0)
        return;
    const SelectionList::CoreSetSize size = SelectionList::coreSetSizeOnEnter(nind, mSize->value());
    mSize->setMaximum(std::max(1, size.maximum));
    mSize->setValue(std::max(1, size.value));
}

void CoreSubsetPanel::setRunning(bool running)
{
    mSelect->setEnabled(!running);
}

} // namespace rvk
