#pragma once
// A widget that shows a recorded picture made for its size (Manhattan, QQ, PCA scatter), with
// an optional text for the point under the pointer (the individual's name on the PCA scatter).

#include "render/viewpicture.h"

#include <QWidget>

#include <functional>

namespace rvk {

class PanelPictureWidget : public QWidget
{
public:
    using Source = std::function<ViewPicture(int width, int height)>;
    using PointerText = std::function<QString(int width, int height, int x, int y)>;

    explicit PanelPictureWidget(QWidget *parent = nullptr);
    void setSource(Source source, PointerText pointerText = {});
    // Draws the picture again (its source's input changed).
    void refresh();
    // The picture as shown at the widget's size (empty before a source is set).
    ViewPicture picture() const;
    // The picture made for another size (a saved file), empty before a source is set.
    ViewPicture pictureOfSize(int width, int height) const { return mSource ? mSource(width, height) : ViewPicture(); }
    // The text for the pointer at (x, y) of the widget: the individual's name on the PCA scatter.
    QString pointerText(int x, int y) const { return mPointerText ? mPointerText(width(), height(), x, y) : QString(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    Source mSource;
    PointerText mPointerText;
    mutable ViewPicture mCache;
};

} // namespace rvk
