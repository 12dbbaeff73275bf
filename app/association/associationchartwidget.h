#pragma once
// A chart of the association page (trait histogram, p-value histogram and scatter chart),
// painted from its input at the size it is shown. A double click saves it as a metafile.

#include "render/associationplot.h"
#include "render/viewpicture.h"

#include <QWidget>

namespace rvk {

class UserInterface;

class AssociationChartWidget : public QWidget
{
public:
    explicit AssociationChartWidget(UserInterface &ui, QWidget *parent = nullptr);

    void setChart(AssociationChartInput input);
    const AssociationChartInput &chart() const { return mInput; }
    // The chart recorded at the shown size.
    ViewPicture picture() const;
    // "emf|*.emf|wmf|*.wmf": the chart as a picture file.
    void saveChart();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    UserInterface &mUi;
    AssociationChartInput mInput;
};

} // namespace rvk
