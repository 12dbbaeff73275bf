#pragma once

#include <QAbstractListModel>

namespace rvk {

class GenotypeData;

// The individual check list: one row per name of the data set, ticked when the individual is
// selected; a locked individual is shown greyed and cannot be unticked by hand, but can still be
// highlighted so that it can be unlocked.
class IndividualCheckListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit IndividualCheckListModel(GenotypeData &data, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    // Names, ticks or locks changed: a new row count resets the list, otherwise every row is
    // shown anew and the highlighted rows stay.
    void refresh();

    bool isTicked(int row) const;
    bool isLocked(int row) const;

signals:
    // The user ticked or unticked a row.
    void tickEdited(int row);

private:
    GenotypeData &mData;
    int mRows = 0;
};

} // namespace rvk
