#include "app/settings/colourpicker.h"

#include "app/settings/allelelistmodel.h"
#include "core/textformat.h"

#include <QColorDialog>
#include <QGridLayout>
#include <QMenu>
#include <QPixmap>
#include <QToolButton>
#include <QWidgetAction>

namespace rvk {

namespace {

QColor toQColor(Rgb colour) { return QColor(redOf(colour), greenOf(colour), blueOf(colour)); }
Rgb fromQColor(const QColor &colour) { return rgb(colour.red(), colour.green(), colour.blue()); }

QIcon swatch(const QColor &colour)
{
    QPixmap pixmap(14, 14);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

// The sixteen classic colours and a row of pale ones, enough for a quick choice.
const QColor Palette[] = {
    {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},     {128, 0, 128},
    {0, 128, 128},   {128, 128, 128}, {192, 192, 192}, {255, 0, 0},     {0, 255, 0},     {255, 255, 0},
    {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}, {192, 220, 192}, {166, 202, 240},
    {255, 251, 240}, {160, 160, 164}, {255, 192, 128}, {255, 128, 192}, {128, 192, 255}, {192, 255, 128},
};

} // namespace

std::optional<Rgb> pickAlleleColour(QWidget *parent, char code, Rgb current, QPoint at)
{
    const QString codeText(QChar::fromLatin1(code));
    QMenu menu(parent);
    menu.addSection(codeText);
    QAction *keep = menu.addAction(swatch(toQColor(current)), QStringLiteral("Color for ") + codeText);

    std::optional<Rgb> chosen;
    auto *grid = new QWidget;
    auto *layout = new QGridLayout(grid);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(2);
    int i = 0;
    for (const QColor &colour : Palette) {
        auto *button = new QToolButton;
        button->setIcon(swatch(colour));
        button->setAutoRaise(true);
        QObject::connect(button, &QToolButton::clicked, &menu, [&chosen, &menu, colour] {
            chosen = fromQColor(colour);
            menu.close();
        });
        layout->addWidget(button, i / 8, i % 8);
        ++i;
    }
    auto *gridAction = new QWidgetAction(&menu);
    gridAction->setDefaultWidget(grid);
    menu.addAction(gridAction);
    menu.addSeparator();
    QAction *more = menu.addAction(QStringLiteral("more colors.."));

    QAction *picked = menu.exec(at);
    if (picked == keep)
        return current;
    if (picked == more) {
        const QColor colour = QColorDialog::getColor(toQColor(current), parent);
        if (colour.isValid())
            return fromQColor(colour);
        return std::nullopt;
    }
    return chosen;
}

std::optional<int> pickHatchPattern(QWidget *parent, int current, QPoint at)
{
    QMenu menu(parent);
    for (int k = 0; k < 16; ++k) {
        QAction *action = menu.addAction(QIcon(AlleleListModel::hatchPicture(k)), QString::fromStdString(formatText("%d", {k})));
        action->setData(k);
        action->setCheckable(true);
        action->setChecked(k == current);
    }
    const QAction *picked = menu.exec(at);
    if (!picked)
        return std::nullopt;
    return picked->data().toInt();
}

} // namespace rvk
