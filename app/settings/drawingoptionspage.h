#pragma once

#include "settings/drawingoptions.h"

#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

class QAbstractButton;
class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace rvk {

// The page "Drawing options": one control per option the painters read. The page keeps its own
// copy of the options, changed by the controls with the rules that tie them together.
class DrawingOptionsPage : public QWidget
{
    Q_OBJECT

public:
    using FontChooser = std::function<std::optional<FontDescription>(const FontDescription &current)>;

    explicit DrawingOptionsPage(QWidget *parent = nullptr);

    const DrawingOptions &options() const { return mOptions; }
    // Shows options as they are (a settings load): no rule is applied.
    void setOptions(const DrawingOptions &options);
    // The user's choice of "Color" or "B && W", also made through the tool buttons.
    void chooseColorMode(DrawingOptions::ColorMode mode);
    // The comparison mode against reference (and donor, when not empty), as the backcross page
    // asks for it.
    void chooseComparison(const std::string &reference, const std::string &donor);

    // The font dialog; replaceable so it can be answered without a person.
    void setFontChooser(FontChooser chooser) { mChooseFont = std::move(chooser); }
    void chooseMarkerFont();
    void chooseQtlFont();

    // "Arial (8)": the caption of a font's sample label.
    static QString fontCaption(const FontDescription &font);

signals:
    // Any option changed by the user.
    void changed();
    // The colour mode was chosen: the view is drawn again.
    void colorModeChosen();

private:
    struct IntegerControl
    {
        QSpinBox *field;
        int DrawingOptions::*member;
    };
    struct FlagControl
    {
        QAbstractButton *box;
        bool DrawingOptions::*member;
    };

    QSpinBox *addIntegerField(const char *name, int DrawingOptions::*member, DrawingOptions::Range range);
    QCheckBox *addFlag(const char *name, const QString &caption, bool DrawingOptions::*member);
    void showOptions();
    void showFonts();

    DrawingOptions mOptions;
    std::vector<IntegerControl> mIntegers;
    std::vector<FlagControl> mFlags;
    QSpinBox *mMarkSpace = nullptr;
    QCheckBox *mAutosize = nullptr;
    QCheckBox *mDrawMarkers = nullptr;
    QRadioButton *mFillStyles[3] = {};
    QRadioButton *mHatchGroups[2] = {};
    QRadioButton *mColour = nullptr;
    QRadioButton *mBlackAndWhite = nullptr;
    QRadioButton *mComparison = nullptr;
    QLineEdit *mCompareReference = nullptr;
    QLineEdit *mCompareDonor = nullptr;
    QLineEdit *mFooter = nullptr;
    QLabel *mMarkerFontSample = nullptr;
    QLabel *mQtlFontSample = nullptr;
    FontChooser mChooseFont;
    bool mShowing = false;
};

} // namespace rvk
