#include "app/settings/fontchooser.h"

#include "render/fontresolver.h"

#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace rvk {

namespace {
QColor toQColor(Rgb color) { return QColor(redOf(color), greenOf(color), blueOf(color)); }
Rgb fromQColor(const QColor &color) { return rgb(color.red(), color.green(), color.blue()); }

void showColour(QPushButton *button, const QColor &colour)
{
    button->setStyleSheet(QStringLiteral("background-color: %1; color: %2;")
                              .arg(colour.name(), colour.lightness() < 128 ? QStringLiteral("white") : QStringLiteral("black")));
}
} // namespace

std::optional<FontDescription> chooseFont(QWidget *parent, const FontDescription &current)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("LabelFontDialog"));
    dialog.setWindowTitle(QStringLiteral("Font"));

    // The platform's font dialog, embedded without its own buttons.
    auto *fonts = new QFontDialog(&dialog);
    fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    fonts->setWindowFlags(Qt::Widget);
    QFont start(QString::fromStdString(current.name), current.size);
    start.setBold(current.bold);
    start.setItalic(current.italic);
    start.setUnderline(current.underline);
    fonts->setCurrentFont(start);

    QColor colour = toQColor(current.color);
    auto *colourButton = new QPushButton(QStringLiteral("&Colour.."));
    colourButton->setObjectName(QStringLiteral("fontColour"));
    showColour(colourButton, colour);
    QObject::connect(colourButton, &QPushButton::clicked, &dialog, [&] {
        const QColor chosen = QColorDialog::getColor(colour, &dialog, QStringLiteral("Colour"));
        if (chosen.isValid()) {
            colour = chosen;
            showColour(colourButton, colour);
        }
    });

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

    auto *colourRow = new QHBoxLayout;
    colourRow->addWidget(new QLabel(QStringLiteral("Text colour:")));
    colourRow->addWidget(colourButton);
    colourRow->addStretch();
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(fonts, 1);
    layout->addLayout(colourRow);
    layout->addWidget(buttons);

    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QFont chosen = fonts->currentFont();
    FontDescription result = current;
    // The program's own names of its drawing faces are stored as the families users know.
    result.name = publicFontFamily(chosen.family()).toStdString();
    result.size = chosen.pointSize() > 0 ? chosen.pointSize() : current.size;
    result.bold = chosen.bold();
    result.italic = chosen.italic();
    result.underline = chosen.underline();
    result.color = fromQColor(colour);
    return result;
}

} // namespace rvk
