#pragma once
// A backcross or pedigree table as a sortable model: cells are formatted when the view asks for
// them, so a table of thousands of individuals costs no more than its numbers.

#include <QAbstractTableModel>

#include <functional>
#include <string>
#include <vector>

namespace rvk {

class BackcrossTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    struct Source
    {
        int rows = 0;
        std::vector<std::string> captions;
        std::function<std::string(int row, int column)> cell;
        // Sorts the rows by a column; nothing when the table cannot sort.
        std::function<void(int column, bool descending)> sort;
    };

    explicit BackcrossTableModel(QObject *parent = nullptr);
    void setSource(Source source);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

private:
    Source mSource;
};

} // namespace rvk
