#include "app/panel/panelmodels.h"

#include "core/textformat.h"

#include <algorithm>

namespace rvk {

namespace {

QString text(const std::string &s) { return QString::fromStdString(s); }

} // namespace

void MixedModelTableModel::setResults(const MixedModelResults *results)
{
    beginResetModel();
    mResults = results;
    mRows.clear();
    if (results)
        for (size_t t = 0; t < results->traits.size(); ++t)
            for (size_t k = 0; k < results->traits[t].tests.size(); ++k)
                mRows.push_back({static_cast<int>(t), static_cast<int>(k)});
    endResetModel();
}

int MixedModelTableModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : static_cast<int>(mRows.size()); }

int MixedModelTableModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : ColumnCount; }

const MarkerTest &MixedModelTableModel::test(int row) const
{
    const Row &r = mRows[static_cast<size_t>(row)];
    return mResults->traits[static_cast<size_t>(r.trait)].tests[static_cast<size_t>(r.test)];
}

const TraitModelResult &MixedModelTableModel::trait(int row) const { return mResults->traits[static_cast<size_t>(mRows[static_cast<size_t>(row)].trait)]; }

double MixedModelTableModel::number(const Row &row, int column) const
{
    const MarkerTest &t = mResults->traits[static_cast<size_t>(row.trait)].tests[static_cast<size_t>(row.test)];
    switch (column) {
    case Position:
        return mResults->markers[static_cast<size_t>(t.marker)].position;
    case Beta:
        return t.test.beta;
    case Se:
        return t.test.se;
    case P:
        return t.test.p;
    case MinusLog10P:
        return t.test.minusLog10P;
    case Lambda:
        return t.test.lambda;
    default:
        return 0.0;
    }
}

QVariant MixedModelTableModel::data(const QModelIndex &index, int role) const
{
    if (!mResults || !index.isValid() || (role != Qt::DisplayRole && role != Qt::TextAlignmentRole))
        return {};
    if (role == Qt::TextAlignmentRole)
        return index.column() >= Position ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    const Row &row = mRows[static_cast<size_t>(index.row())];
    const TraitModelResult &trait = mResults->traits[static_cast<size_t>(row.trait)];
    const DosageMatrix::MarkerInfo &marker = mResults->markers[static_cast<size_t>(test(index.row()).marker)];
    switch (index.column()) {
    case Trait:
        return text(trait.trait);
    case Group:
        return text(mResults->groupNames[static_cast<size_t>(marker.group)]);
    case Locus:
        return text(marker.name);
    case P:
    case Se:
    case Beta:
    case Lambda:
        return text(formatText("%.6g", {number(row, index.column())}));
    default:
        return text(formatText("%.2f", {number(row, index.column())}));
    }
}

QVariant MixedModelTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    static const char *names[ColumnCount] = {"trait", "group", "locus", "position", "beta", "se", "p", "-log10 p", "lambda"};
    return QString::fromLatin1(names[section]);
}

void MixedModelTableModel::sort(int column, Qt::SortOrder order)
{
    if (!mResults)
        return;
    beginResetModel();
    const auto key = [&](const Row &a, const Row &b) {
        if (column == Trait || column == Group || column == Locus) {
            const auto &ma = mResults->markers[static_cast<size_t>(mResults->traits[static_cast<size_t>(a.trait)].tests[static_cast<size_t>(a.test)].marker)];
            const auto &mb = mResults->markers[static_cast<size_t>(mResults->traits[static_cast<size_t>(b.trait)].tests[static_cast<size_t>(b.test)].marker)];
            if (column == Trait)
                return a.trait != b.trait ? a.trait < b.trait : a.test < b.test;
            if (column == Group)
                return ma.group != mb.group ? ma.group < mb.group : a.test < b.test;
            return ma.name < mb.name;
        }
        return number(a, column) < number(b, column);
    };
    std::stable_sort(mRows.begin(), mRows.end(), [&](const Row &a, const Row &b) { return order == Qt::AscendingOrder ? key(a, b) : key(b, a); });
    endResetModel();
}

void PredictionTableModel::setResults(const GblupResults *results)
{
    beginResetModel();
    mResults = results;
    endResetModel();
}

int PredictionTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !mResults ? 0 : static_cast<int>(mResults->traits.size());
}

int PredictionTableModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : 5; }

QVariant PredictionTableModel::data(const QModelIndex &index, int role) const
{
    if (!mResults || !index.isValid() || role != Qt::DisplayRole)
        return {};
    const TraitPrediction &trait = mResults->traits[static_cast<size_t>(index.row())];
    if (!trait.analysed)
        return index.column() == 0 ? text(trait.trait) : index.column() == 4 ? text(trait.message) : QVariant();
    switch (index.column()) {
    case 0:
        return text(trait.trait);
    case 1:
        return trait.trainingCount;
    case 2:
        return text(formatText("%.6g", {trait.fit.lambda}));
    case 3:
        return trait.foldAccuracy.empty() ? QString() : text(formatText("%.4f", {trait.accuracy}));
    default:
        return text(formatText("%d folds", {static_cast<int>(trait.foldAccuracy.size())}));
    }
}

QVariant PredictionTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return {};
    static const char *names[] = {"trait", "individuals with values", "lambda", "accuracy", "cross-validation"};
    return QString::fromLatin1(names[section]);
}

} // namespace rvk
