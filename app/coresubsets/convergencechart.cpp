#include "app/coresubsets/convergencechart.h"

#include "core/textformat.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace rvk {

namespace {

// A value axis label: the value to two decimals.
QString axisLabel(double value) { return QString::fromStdString(formatGeneral(std::round(value * 100) / 100)); }

} // namespace

ConvergenceChart::ConvergenceChart(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("ConvergenceChart"));
    setMinimumSize(240, 160);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
}

void ConvergenceChart::setSeries(std::vector<ConvergencePoint> points, const QString &valueTitle, const QString &stepTitle,
                                 const QColor &colour)
{
    mPoints = std::move(points);
    mValueTitle = valueTitle;
    mStepTitle = stepTitle;
    mColour = colour;
    mStepMax = 1;
    mValueMin = 0.0;
    mValueMax = 1.0;
    if (!mPoints.empty()) {
        mValueMin = mValueMax = mPoints.front().value;
        for (const ConvergencePoint &p : mPoints) {
            mStepMax = std::max(mStepMax, p.step);
            mValueMin = std::min(mValueMin, p.value);
            mValueMax = std::max(mValueMax, p.value);
        }
        // A flat series gets a band around its value, so its points do not sit on the frame.
        if (mValueMax - mValueMin < 1e-12) {
            const double pad = std::max(1.0, std::abs(mValueMax) * 0.05);
            mValueMin -= pad;
            mValueMax += pad;
        }
    }
    update();
}

void ConvergenceChart::clear() { setSeries({}, mValueTitle, mStepTitle, mColour); }

QRect ConvergenceChart::plotArea() const
{
    // The turned value title takes a column at the left edge; the value labels stand between it
    // and the frame, so wide values push the frame right instead of running into the title.
    const QFontMetrics metrics = fontMetrics();
    const int widest = std::max(metrics.horizontalAdvance(axisLabel(mValueMax)), metrics.horizontalAdvance(axisLabel(mValueMin)));
    const int left = std::max(Margin, metrics.height() + 6 + widest + 4);
    return QRect(QPoint(left, OuterMargin), QPoint(width() - 1 - OuterMargin, height() - 1 - Margin));
}

QPoint ConvergenceChart::placeOf(const ConvergencePoint &point) const
{
    const QRect area = plotArea();
    const double xShare = mStepMax > 1 ? (point.step - 1.0) / (mStepMax - 1.0) : 0.5;
    const double yShare = (point.value - mValueMin) / (mValueMax - mValueMin);
    return {area.left() + static_cast<int>(std::lround(xShare * (area.width() - 1))),
            area.bottom() - static_cast<int>(std::lround(yShare * (area.height() - 1)))};
}

void ConvergenceChart::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect area = plotArea();
    painter.setPen(Qt::black);
    painter.drawRect(area);

    const QFontMetrics metrics = painter.fontMetrics();
    // Axis labels at both ends of each range.
    const int labelsLeft = metrics.height() + 6;
    painter.drawText(QRect(labelsLeft, area.top() - metrics.height() / 2, area.left() - 4 - labelsLeft, metrics.height()),
                     Qt::AlignRight | Qt::AlignVCenter, axisLabel(mValueMax));
    painter.drawText(QRect(labelsLeft, area.bottom() - metrics.height() / 2, area.left() - 4 - labelsLeft, metrics.height()),
                     Qt::AlignRight | Qt::AlignVCenter, axisLabel(mValueMin));
    painter.drawText(QRect(area.left() - 20, area.bottom() + 2, 40, metrics.height()), Qt::AlignHCenter, QStringLiteral("1"));
    painter.drawText(QRect(area.right() - 40, area.bottom() + 2, 80, metrics.height()), Qt::AlignHCenter,
                     QString::number(mStepMax));
    // Titles: the step counter below, the criterion turned up the left side.
    painter.drawText(QRect(area.left(), height() - metrics.height() - 4, area.width(), metrics.height()), Qt::AlignHCenter,
                     mStepTitle);
    painter.save();
    painter.translate(metrics.height() / 2 + 2, area.center().y());
    painter.rotate(-90);
    painter.drawText(QRect(-area.height() / 2, -metrics.height() / 2, area.height(), metrics.height()), Qt::AlignHCenter,
                     mValueTitle);
    painter.restore();

    // Cross-shaped points, two pixels from the centre each way.
    painter.setPen(QPen(mColour, 1));
    for (const ConvergencePoint &point : mPoints) {
        const QPoint c = placeOf(point);
        painter.drawLine(c.x() - 2, c.y(), c.x() + 2, c.y());
        painter.drawLine(c.x(), c.y() - 2, c.x(), c.y() + 2);
    }
}

} // namespace rvk
