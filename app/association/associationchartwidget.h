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
    // The chart as a metafile or a raster picture of a chosen size.
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

// The chart file dialogs' choices: the metafiles first, then the raster files.
inline constexpr const char *ChartFileFilter = "emf|*.emf|wmf|*.wmf|PNG image|*.png|JPEG|*.jpg";
// A raster chart file is proposed at least this wide, whatever the chart's size on screen.
inline constexpr int ChartFileMinimumWidth = 1600;
// Saves a chart the user chose a name for. A raster name (".png", ".jpg", ".jpeg") asks first
// for the pixel size, proposed at least ChartFileMinimumWidth wide in the chart's proportions,
// and the chart is scaled to it; metafiles keep the chart's own size. False with an empty error
// when the user cancels.
bool saveChartPicture(const ViewPicture &picture, const std::string &path, UserInterface &ui, std::string &written,
                      std::string &error);

} // namespace rvk
