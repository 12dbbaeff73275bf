#include "app/association/associationchartwidget.h"

#include "core/userinterface.h"
#include "render/paintersurface.h"
#include "render/picturefiles.h"

#include <QPainter>

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
    const std::string path = mUi.saveFileName("Save chart", "emf|*.emf|wmf|*.wmf", {});
    if (path.empty())
        return;
    std::string written, error;
    if (!savePictureFile(picture(), path, "emf", written, error))
        mUi.error(error);
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
