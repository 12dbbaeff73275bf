#include "app/selection/criterialistmodel.h"

#include "selection/markercriteria.h"

#include <QColor>
#include <QPainter>
#include <QPalette>
#include <QToolTip>

namespace rvk {

namespace {

using State = MarkerCriteria::CriterionState;

int pictureIndex(State state)
{
    switch (state) {
    case State::Require: return 1;
    case State::Exclude: return 2;
    default: return 0;
    }
}

} // namespace

CriteriaListModel::CriteriaListModel(MarkerCriteria &criteria, QObject *parent)
    : QAbstractTableModel(parent),
      mCriteria(criteria)
{
    for (int i = 0; i < 3; ++i)
        mStatePictures[static_cast<size_t>(i)] = statePicture(i);
}

QPixmap CriteriaListModel::statePicture(int state)
{
    // An open circle for "All", a green tick for a required code, a red cross for an excluded one.
    QPixmap picture(12, 12);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    switch (state) {
    case 1:
        painter.setPen(QPen(QColor(0, 140, 0), 2));
        painter.drawPolyline(QPolygonF({QPointF(2, 6), QPointF(5, 9), QPointF(10, 2)}));
        break;
    case 2:
        painter.setPen(QPen(QColor(200, 0, 0), 2));
        painter.drawLine(QPointF(2, 2), QPointF(10, 10));
        painter.drawLine(QPointF(10, 2), QPointF(2, 10));
        break;
    default:
        painter.setPen(QPen(QColor(160, 160, 160), 1));
        painter.drawEllipse(QRectF(2.5, 2.5, 7, 7));
        break;
    }
    return picture;
}

int CriteriaListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : mCriteria.rowCount();
}

int CriteriaListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : MarkerCriteria::ColumnCount;
}

QVariant CriteriaListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= mCriteria.rowCount())
        return {};
    const int row = index.row();
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(mCriteria.cellText(row, index.column()));
    case Qt::DecorationRole:
        if (index.column() == MarkerCriteria::MarkerColumn && mCriteria.rowState(row) != State::Header)
            return mStatePictures[static_cast<size_t>(pictureIndex(mCriteria.rowState(row)))];
        return {};
    case Qt::BackgroundRole:
        switch (mCriteria.rowShade(row)) {
        case MarkerCriteria::RowShade::GroupHeader: {
            const Rgb colour = MarkerCriteria::GroupHeaderColor;
            return QColor(redOf(colour), greenOf(colour), blueOf(colour));
        }
        case MarkerCriteria::RowShade::Tooltip:
            return QToolTip::palette().color(QPalette::ToolTipBase);
        case MarkerCriteria::RowShade::Plain:
            return {};
        }
        return {};
    case Qt::ForegroundRole:
        // The tooltip background may be dark in some themes; its own text colour stays readable.
        if (mCriteria.rowShade(row) == MarkerCriteria::RowShade::Tooltip)
            return QToolTip::palette().color(QPalette::ToolTipText);
        if (mCriteria.rowShade(row) == MarkerCriteria::RowShade::GroupHeader)
            return QColor(Qt::black);
        return {};
    case Qt::TextAlignmentRole:
        if (MarkerCriteria::columnRightAligned(index.column()))
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant CriteriaListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= MarkerCriteria::ColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromLatin1(MarkerCriteria::columnCaption(section));
    if (role == Qt::TextAlignmentRole && MarkerCriteria::columnRightAligned(section))
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags CriteriaListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void CriteriaListModel::reload()
{
    beginResetModel();
    endResetModel();
}

void CriteriaListModel::rowChanged(int row)
{
    if (row < 0 || row >= mCriteria.rowCount())
        return;
    emit dataChanged(index(row, 0), index(row, MarkerCriteria::ColumnCount - 1));
}

void CriteriaListModel::allRowsChanged()
{
    const int rows = mCriteria.rowCount();
    if (rows > 0)
        emit dataChanged(index(0, 0), index(rows - 1, MarkerCriteria::ColumnCount - 1));
}

} // namespace rvk
