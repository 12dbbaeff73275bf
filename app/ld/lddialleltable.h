#pragma once
// The LD page's diallel table ("LD diallel"): a model over the run's pairs, each cell formatted
// when it is shown, and the delegate that colours it as the table always has: headings on money
// green turned upwards, the measure caption turned in the corner, pairs in red (positive) or
// blue (zero or negative) by strength.

#include <QAbstractTableModel>
#include <QStyledItemDelegate>

namespace rvk {

class LdAnalysis;

class LdDiallelModel : public QAbstractTableModel
{
public:
    explicit LdDiallelModel(QObject *parent = nullptr) : QAbstractTableModel(parent) {}

    void setAnalysis(const LdAnalysis *analysis);
    const LdAnalysis *analysis() const { return mAnalysis; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    const LdAnalysis *mAnalysis = nullptr;
};

class LdDiallelDelegate : public QStyledItemDelegate
{
public:
    explicit LdDiallelDelegate(const LdDiallelModel &model, QObject *parent = nullptr)
        : QStyledItemDelegate(parent), mModel(model)
    {
    }
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    const LdDiallelModel &mModel;
};

} // namespace rvk
