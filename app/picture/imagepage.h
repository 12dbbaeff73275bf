#pragma once

#include <QImage>
#include <QScrollArea>


namespace rvk {

// The page "RVK Image": the current picture in a scrolling area. The picture is painted once
// into a pixmap; scrolling only moves that pixmap.
class ImagePage : public QScrollArea
{
    Q_OBJECT

public:
    explicit ImagePage(QWidget *parent = nullptr);

    void setPicture(const QImage &picture);
    const QImage &picture() const { return mPicture; }
    // The size a picture should have to fill the visible area (never smaller than a readable
    // minimum, so the placeholder texts fit before the window is first shown).
    QSize pictureAreaSize() const;
    // The hint the picture shows; empty switches it off.
    void setPictureHint(const QString &hint);
    QString pictureHint() const;

signals:
    // Pointer events in picture pixels.
    void pointerMoved(QPoint position);
    void pointerClicked(QPoint position, Qt::MouseButton button);
    // The visible area changed its size (the window was resized or maximised).
    void viewportResized();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    class Canvas;
    Canvas *mCanvas;
    QImage mPicture;
};

} // namespace rvk
