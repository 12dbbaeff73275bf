#include "app/splashwindow.h"

#include "app/buildinfo.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace rvk {

SplashWindow::SplashWindow(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("SplashWindow"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(40, 30, 40, 30);
    auto *name = new QLabel(programTitle());
    QFont big = name->font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    name->setFont(big);
    name->setAlignment(Qt::AlignCenter);
    auto *built = new QLabel(QStringLiteral("Build ") + buildDateTimeText());
    built->setAlignment(Qt::AlignCenter);
    layout->addWidget(name);
    layout->addWidget(built);
    setStyleSheet(QStringLiteral("background: white;"));
}

void SplashWindow::showCentred()
{
    adjustSize();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    raise();
    QTimer::singleShot(ShowMilliseconds, this, &QWidget::close);
}

} // namespace rvk
