#pragma once
// A grid of (n + 1) x (n + 1) cells over compact results (a distance matrix, the cophenetic
// grid): texts and fills are asked for cell by cell when shown, never stored per cell. Row 0 and
// column 0 hold the labels; the view hides its own headers.

#include <QAbstractTableModel>
#include <QStyledItemDelegate>

#include <functional>
#include <string>

namespace rvk {

class DistanceGridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    using CellText = std::function<std::string(int column, int row)>;
    using CellFill = std::function<unsigned(int column, int row)>; // 0xBBGGRR; white for none

    explicit DistanceGridModel(QObject *parent = nullptr);

    // Shows a new grid of size x size cells.
    void setGrid(int size, CellText text, CellFill fill);
    void clear() { setGrid(0, {}, {}); }

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : mSize; }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : mSize; }
    QVariant data(const QModelIndex &index, int role) const override;

    // Heading cells: light grey; row headings that start with "." on pale green.
    static constexpr unsigned HeadingFill = 238u | (238u << 8) | (238u << 16);
    static constexpr unsigned DottedHeadingFill = 192u | (220u << 8) | (192u << 16);

private:
    int mSize = 0;
    CellText mText;
    CellFill mFill;
};

// Paints the grid's column headings (row 0) turned by 90 degrees, reading upwards, in Tahoma,
// and the corner heading turned by -45 degrees when asked to.
class DistanceGridDelegate : public QStyledItemDelegate
{
public:
    explicit DistanceGridDelegate(bool turnedCorner, QObject *parent = nullptr)
        : QStyledItemDelegate(parent), mTurnedCorner(turnedCorner)
    {
    }
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    bool mTurnedCorner;
};

} // namespace rvk
