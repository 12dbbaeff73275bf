#include "app/tooltiptiming.h"

#include <QApplication>
#include <QHelpEvent>
#include <QProxyStyle>
#include <QToolTip>
#include <QWidget>

namespace rvk {

namespace {

constexpr int WakeUpMilliseconds = 250;
constexpr int ShowMilliseconds = 2000;

class ToolTipStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_ToolTip_WakeUpDelay)
            return WakeUpMilliseconds;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

class ToolTipDuration : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::ToolTip || !watched->isWidgetType())
            return false;
        auto *widget = static_cast<QWidget *>(watched);
        if (widget->toolTip().isEmpty() || widget->toolTipDuration() > 0)
            return false;
        const auto *help = static_cast<QHelpEvent *>(event);
        QToolTip::showText(help->globalPos(), widget->toolTip(), widget, QRect(), ShowMilliseconds);
        return true;
    }
};

} // namespace

void installToolTipTiming(QApplication &application)
{
    application.setStyle(new ToolTipStyle);
    application.installEventFilter(new ToolTipDuration(&application));
}

} // namespace rvk
