#pragma once

#include <QWidget>

namespace rvk {

// The start-up window: borderless, centred, above everything, with the program's name and
// build time. It closes (and deletes) itself after two seconds.
class SplashWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int ShowMilliseconds = 2000;

    explicit SplashWindow(QWidget *parent = nullptr);

    // Shows the window centred on the primary screen and starts its closing countdown.
    void showCentred();
};

} // namespace rvk
