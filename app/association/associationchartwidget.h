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

// Saves a chart as the double click does: ".emf" appended to a name without extension, a
// Windows metafile for a ".wmf" name, an enhanced metafile otherwise. written is the file name.
bool saveChartPicture(const ViewPicture &picture, const std::string &path, std::string &written, std::string &error);

} // namespace rvk
