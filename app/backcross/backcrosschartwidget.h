#pragma once
// The backcross page's chart of rpg_cm per individual, painted with the chart the command line
// saves.

#include "render/backcrosschart.h"
#include "render/viewpicture.h"

#include <QWidget>

#include <functional>

namespace rvk {

class BackcrossChartWidget : public QWidget
{
    Q_OBJECT

public:
    explicit BackcrossChartWidget(QWidget *parent = nullptr);
    void setSource(std::function<BackcrossChartInput()> source);
    // The chart at a size, for saving.
    ViewPicture picture(int width, int height) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::function<BackcrossChartInput()> mSource;
    mutable ViewPicture mCache;
};

} // namespace rvk
