#pragma once
// The LD page's chart ("marker LD"), painted from the run's pairs at the size it is shown.
// A double click asks to save it.

#include "render/ldchart.h"
#include "render/viewpicture.h"

#include <QWidget>

#include <functional>

namespace rvk {

class LdChartWidget : public QWidget
{
    Q_OBJECT

public:
    explicit LdChartWidget(QWidget *parent = nullptr);

    // The chart to show; nothing when the source is empty.
    void setSource(std::function<LdChartInput()> source);
    // The chart recorded at the given size (the saved metafile takes the shown size).
    ViewPicture picture(int width, int height) const;
    ViewPicture shownPicture() const { return picture(width(), height()); }
    bool hasChart() const { return static_cast<bool>(mSource); }

signals:
    void saveRequested();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    std::function<LdChartInput()> mSource;
    mutable ViewPicture mCache;
};

} // namespace rvk
