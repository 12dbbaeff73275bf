#include "app/association/associationchartwidget.h"

#include "core/userinterface.h"
#include "render/paintersurface.h"
#include "render/picturefiles.h"
#include "render/picturerecorder.h"
#include "render/wmfsurface.h"

#include <QPainter>

#include <algorithm>

namespace rvk {

AssociationChartWidget::AssociationChartWidget(UserInterface &ui, QWidget *parent) : QWidget(parent), mUi(ui)
{
    setToolTip(QStringLiteral("doubleclick to save chart"));
    setMinimumSize(260, 180);
}

void AssociationChartWidget::setChart(AssociationChartInput input)
{
    mInput = std::move(input);
    update();
}

ViewPicture AssociationChartWidget::picture() const
{
    AssociationChartInput input = mInput;
    input.width = std::max(width(), 200);
    input.height = std::max(height(), 150);
    return recordAssociationChart(input);
}

void AssociationChartWidget::saveChart()
{
    const std::string chosen = mUi.saveFileName("Save chart", ChartFileFilter, {});
    if (chosen.empty())
        return;
    std::string written, error;
    if (!saveChartPicture(picture(), chosen, mUi, written, error) && !error.empty())
        mUi.error(error);
}

bool saveChartPicture(const ViewPicture &picture, const std::string &path, std::string &written, std::string &error)
{
    // A name without extension gets ".emf"; a ".wmf" name a Windows metafile, any other name
    // what its extension says (EMF when it names no picture type).
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    written = hasExtension ? path : path + ".emf";
    const QString extension = hasExtension ? QString::fromStdString(path.substr(dot + 1)).toLower() : QString();
    if (extension == QStringLiteral("wmf"))
        return savePictureWmf(picture, written, error);
    std::string ignored;
    return savePictureFile(picture, written, "emf", ignored, error);
}

bool saveChartPicture(const ViewPicture &picture, const std::string &path, UserInterface &ui, std::string &written,
                      std::string &error)
{
    const std::string extension = pictureExtension(path);
    if (extension != "png" && extension != "jpg" && extension != "jpeg")
        return saveChartPicture(picture, path, written, error);
    const int shownWidth = std::max(1, picture.width());
    const int shownHeight = std::max(1, picture.height());
    int width = std::max(ChartFileMinimumWidth, shownWidth);
    int height = static_cast<int>(static_cast<long long>(width) * shownHeight / shownWidth);
    if (!ui.choosePictureSize("Picture size", width, height)) {
        error.clear();
        return false;
    }
    ViewPicture sized(width, height);
    PictureRecorder recorder(sized);
    picture.replay(recorder, 0, 0, width, height);
    written = path;
    return savePictureFile(sized, path, "emf", written, error);
}

void AssociationChartWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    PainterSurface surface(painter);
    picture().replay(surface);
}

void AssociationChartWidget::mouseDoubleClickEvent(QMouseEvent *) { saveChart(); }

} // namespace rvk
