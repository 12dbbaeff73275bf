#pragma once
// The LOD profile picture of the page "QTL mapping", painted at the size it is shown; the pointer
// reports the position under it.

#include "render/qtlplot.h"
#include "render/viewpicture.h"

#include <QWidget>

namespace rvk {

class QtlPlotWidget : public QWidget
{
    Q_OBJECT

public:
    explicit QtlPlotWidget(QWidget *parent = nullptr);

    void setInput(QtlPlotInput input);
    const QtlPlotInput &input() const { return mInput; }
    // The picture at the shown size (what is saved and printed).
    ViewPicture picture() const;

signals:
    // The scanned position under the pointer (group and position index into the input).
    void pointed(int group, int position);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QtlPlotInput sized() const;
    QtlPlotInput mInput;
};

} // namespace rvk
