#pragma once

#include "selection/coresubsetsearch.h"

#include <QColor>
#include <QString>
#include <QWidget>

#include <vector>

namespace rvk {

// The convergence chart of the last core-subset search: one point per accepted change, the step
// counter along the bottom, the value up the left (its range follows the points). Each search
// replaces the series. A widget of its own so that a page of charts can host it.
class ConvergenceChart : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Margin = 56;       // room for the axis titles and labels, left and bottom
    static constexpr int OuterMargin = 12;  // top and right

    explicit ConvergenceChart(QWidget *parent = nullptr);

    void setSeries(std::vector<ConvergencePoint> points, const QString &valueTitle, const QString &stepTitle,
                   const QColor &colour);
    void clear();

    const std::vector<ConvergencePoint> &points() const { return mPoints; }
    QString valueTitle() const { return mValueTitle; }
    QString stepTitle() const { return mStepTitle; }
    QColor colour() const { return mColour; }
    // Where a point is drawn in the widget's pixels (the centre of its cross).
    QPoint placeOf(const ConvergencePoint &point) const;
    // The plotted ranges: steps from 1 to the last, values from the lowest to the highest.
    double valueMinimum() const { return mValueMin; }
    double valueMaximum() const { return mValueMax; }

    QSize sizeHint() const override { return {520, 320}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRect plotArea() const;

    std::vector<ConvergencePoint> mPoints;
    QString mValueTitle;
    QString mStepTitle;
    QColor mColour = Qt::blue;
    double mValueMin = 0.0;
    double mValueMax = 1.0;
    int mStepMax = 1;
};

} // namespace rvk
