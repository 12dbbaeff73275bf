#include "app/settings/drawingoptionspage.h"

#include "app/settings/fontchooser.h"
#include "core/textformat.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace rvk {

namespace {

QString toQt(const std::string &text) { return QString::fromStdString(text); }

} // namespace

QString DrawingOptionsPage::fontCaption(const FontDescription &font)
{
    return toQt(formatText("%s (%d)", {font.name, font.size}));
}

QSpinBox *DrawingOptionsPage::addIntegerField(const char *name, int DrawingOptions::*member, DrawingOptions::Range range)
{
    auto *field = new QSpinBox;
    field->setObjectName(QString::fromLatin1(name));
    field->setRange(range.min, range.max);
    mIntegers.push_back({field, member});
    connect(field, &QSpinBox::valueChanged, this, [this, member](int value) {
        if (mShowing)
            return;
        mOptions.*member = value;
        emit changed();
    });
    return field;
}

QCheckBox *DrawingOptionsPage::addFlag(const char *name, const QString &caption, bool DrawingOptions::*member)
{
    auto *box = new QCheckBox(caption);
    box->setObjectName(QString::fromLatin1(name));
    mFlags.push_back({box, member});
    connect(box, &QCheckBox::toggled, this, [this, member](bool on) {
        if (mShowing)
            return;
        if (member == &DrawingOptions::drawmarkers)
            mOptions.setDrawMarkers(on); // the name space follows the names
        else
            mOptions.*member = on;
        showOptions();
        emit changed();
    });
    return box;
}

DrawingOptionsPage::DrawingOptionsPage(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("DrawingOptionsPage"));
    mChooseFont = [this](const FontDescription &current) { return chooseFont(this, current); };

    auto *sizes = new QGroupBox(QStringLiteral("Sizes"));
    auto *grid = new QGridLayout(sizes);
    int row = 0;
    auto addRow = [&](const QString &before, QWidget *field, const QString &after = {}) {
        grid->addWidget(new QLabel(before), row, 0);
        grid->addWidget(field, row, 1);
        if (!after.isEmpty())
            grid->addWidget(new QLabel(after), row, 2);
        ++row;
    };
    addRow(QStringLiteral("Bar width:"), addIntegerField("barwidth", &DrawingOptions::barwidth, DrawingOptions::barwidthRange));
    addRow(QStringLiteral("QTL Bar width:"),
           addIntegerField("qtlbarwidth", &DrawingOptions::qtlbarwidth, DrawingOptions::qtlbarwidthRange));
    addRow(QStringLiteral("Space between bars :"), addIntegerField("space", &DrawingOptions::space, DrawingOptions::spaceRange));
    mMarkSpace = addIntegerField("markspace", &DrawingOptions::markspace, DrawingOptions::markspaceRange);
    addRow(QStringLiteral("Space for markernames:"), mMarkSpace);
    mAutosize = addFlag("autosize", QStringLiteral("autosize"), &DrawingOptions::autosize);
    mAutosize->setToolTip(QStringLiteral("autosize makes sure markername will fit"));
    grid->addWidget(mAutosize, row - 1, 2);
    addRow(QStringLiteral("Skip markers  less than"),
           addIntegerField("markskip", &DrawingOptions::markskip, DrawingOptions::markskipRange), QStringLiteral("cM apart"));
    addRow(QStringLiteral("Length multiplier factor:"), addIntegerField("Lenmul", &DrawingOptions::Lenmul, DrawingOptions::LenmulRange));
    addRow(QStringLiteral("Top margin:"), addIntegerField("topmargin", &DrawingOptions::topmargin, DrawingOptions::topmarginRange));
    addRow(QStringLiteral("Bottom margin:"),
           addIntegerField("bottommargin", &DrawingOptions::bottommargin, DrawingOptions::bottommarginRange));
    addRow(QStringLiteral("Print labels every"),
           addIntegerField("labelfreq", &DrawingOptions::labelfreq, DrawingOptions::labelfreqRange), QStringLiteral("Individuals"));
    grid->addWidget(addFlag("sideways", QStringLiteral("print labels sideways (rotated 270°)"), &DrawingOptions::sideways),
                    row++, 0, 1, 3);

    auto *fill = new QGroupBox(QStringLiteral("Bar Fill Style"));
    fill->setObjectName(QStringLiteral("Fillstyle"));
    auto *fillLayout = new QVBoxLayout(fill);
    const QString fillCaptions[3] = {QStringLiteral("Gradient"), QStringLiteral("Discrete"), QStringLiteral("3D look")};
    for (int i = 0; i < 3; ++i) {
        mFillStyles[i] = new QRadioButton(fillCaptions[i]);
        fillLayout->addWidget(mFillStyles[i]);
        connect(mFillStyles[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (mShowing || !on)
                return;
            mOptions.Fillstyle = static_cast<DrawingOptions::FillStyle>(i);
            emit changed();
        });
    }

    auto *hatch = new QGroupBox(QStringLiteral("Color hatch pattern"));
    hatch->setObjectName(QStringLiteral("hatchgrp"));
    auto *hatchLayout = new QVBoxLayout(hatch);
    const QString hatchCaptions[2] = {QStringLiteral("solid"), QStringLiteral("use hatch")};
    for (int i = 0; i < 2; ++i) {
        mHatchGroups[i] = new QRadioButton(hatchCaptions[i]);
        hatchLayout->addWidget(mHatchGroups[i]);
        connect(mHatchGroups[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (mShowing || !on)
                return;
            mOptions.hatchgrp = static_cast<DrawingOptions::HatchGroup>(i);
            emit changed();
        });
    }

    auto *mode = new QGroupBox(QStringLiteral("Drawing"));
    auto *modeLayout = new QVBoxLayout(mode);
    mColour = new QRadioButton(QStringLiteral("Color"));
    mColour->setObjectName(QStringLiteral("RadioButton1"));
    mBlackAndWhite = new QRadioButton(QStringLiteral("B && W"));
    mBlackAndWhite->setObjectName(QStringLiteral("RadioButton2"));
    modeLayout->addWidget(mColour);
    modeLayout->addWidget(mBlackAndWhite);
    // Colours against a reference individual instead of by allele.
    mComparison = new QRadioButton(QStringLiteral("Compare with reference"));
    mComparison->setObjectName(QStringLiteral("compareMode"));
    modeLayout->addWidget(mComparison);
    mCompareReference = new QLineEdit;
    mCompareReference->setObjectName(QStringLiteral("compareReference"));
    mCompareReference->setPlaceholderText(QStringLiteral("reference (recurrent parent)"));
    mCompareDonor = new QLineEdit;
    mCompareDonor->setObjectName(QStringLiteral("compareDonor"));
    mCompareDonor->setPlaceholderText(QStringLiteral("donor (optional)"));
    modeLayout->addWidget(mCompareReference);
    modeLayout->addWidget(mCompareDonor);
    connect(mComparison, &QRadioButton::clicked, this, [this] { chooseColorMode(DrawingOptions::ColorMode::Comparison); });
    for (auto [edit, member] : {std::pair{mCompareReference, &DrawingOptions::compareReference},
                                std::pair{mCompareDonor, &DrawingOptions::compareDonor}}) {
        connect(edit, &QLineEdit::textEdited, this, [this, member](const QString &text) {
            mOptions.*member = text.toStdString();
            emit changed();
        });
    }
    connect(mColour, &QRadioButton::clicked, this, [this] { chooseColorMode(DrawingOptions::ColorMode::Color); });
    connect(mBlackAndWhite, &QRadioButton::clicked, this,
            [this] { chooseColorMode(DrawingOptions::ColorMode::BlackAndWhite); });

    auto *show = new QGroupBox(QStringLiteral("Show"));
    auto *showLayout = new QVBoxLayout(show);
    mDrawMarkers = addFlag("drawmarkers", QStringLiteral("Marker-names"), &DrawingOptions::drawmarkers);
    showLayout->addWidget(mDrawMarkers);
    showLayout->addWidget(addFlag("drawpos", QStringLiteral("Marker-positions"), &DrawingOptions::drawpos));
    showLayout->addWidget(addFlag("cMRuler", QStringLiteral("cM Ruler"), &DrawingOptions::cMRuler));
    showLayout->addWidget(addFlag("ShowLegend", QStringLiteral("Color Legend"), &DrawingOptions::ShowLegend));
    showLayout->addWidget(addFlag("ticks", QStringLiteral("Marker-Ticks"), &DrawingOptions::ticks));
    showLayout->addWidget(addFlag("roundtip", QStringLiteral("Draw curved tips on chromosome ends"), &DrawingOptions::roundtip));
    showLayout->addWidget(addFlag("showphase", QStringLiteral("Phase info"), &DrawingOptions::showphase));
    auto *footerRow = new QHBoxLayout;
    footerRow->addWidget(addFlag("showtext", QStringLiteral("Footer text:"), &DrawingOptions::showtext));
    mFooter = new QLineEdit;
    mFooter->setObjectName(QStringLiteral("Customtext"));
    footerRow->addWidget(mFooter, 1);
    showLayout->addLayout(footerRow);
    connect(mFooter, &QLineEdit::textEdited, this, [this](const QString &text) {
        mOptions.Customtext = text.toStdString();
        emit changed();
    });

    auto *fonts = new QGroupBox(QStringLiteral("Fonts"));
    auto *fontLayout = new QGridLayout(fonts);
    auto *markerFont = new QPushButton(QStringLiteral("Set Marker Font.."));
    auto *qtlFont = new QPushButton(QStringLiteral(" Set QTL Font..  "));
    mMarkerFontSample = new QLabel;
    mMarkerFontSample->setObjectName(QStringLiteral("Dummylabel"));
    mQtlFontSample = new QLabel;
    mQtlFontSample->setObjectName(QStringLiteral("qtllabel"));
    fontLayout->addWidget(markerFont, 0, 0);
    fontLayout->addWidget(mMarkerFontSample, 0, 1);
    fontLayout->addWidget(qtlFont, 1, 0);
    fontLayout->addWidget(mQtlFontSample, 1, 1);
    connect(markerFont, &QPushButton::clicked, this, &DrawingOptionsPage::chooseMarkerFont);
    connect(qtlFont, &QPushButton::clicked, this, &DrawingOptionsPage::chooseQtlFont);

    auto *left = new QVBoxLayout;
    left->addWidget(sizes);
    left->addWidget(fonts);
    left->addStretch();
    auto *middle = new QVBoxLayout;
    middle->addWidget(fill);
    middle->addWidget(hatch);
    middle->addWidget(mode);
    middle->addStretch();
    auto *right = new QVBoxLayout;
    right->addWidget(show);
    right->addStretch();
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(middle);
    layout->addLayout(right, 1);

    showOptions();
}

void DrawingOptionsPage::setOptions(const DrawingOptions &options)
{
    mOptions = options;
    showOptions();
}

void DrawingOptionsPage::showOptions()
{
    mShowing = true;
    for (const IntegerControl &control : mIntegers)
        control.field->setValue(mOptions.*control.member);
    for (const FlagControl &control : mFlags)
        control.box->setChecked(mOptions.*control.member);
    mMarkSpace->setEnabled(!mOptions.autosize); // the view computes the space itself
    mFillStyles[static_cast<int>(mOptions.Fillstyle)]->setChecked(true);
    mHatchGroups[static_cast<int>(mOptions.hatchgrp)]->setChecked(true);
    (mOptions.blackAndWhite() ? mBlackAndWhite : mOptions.comparison() ? mComparison : mColour)->setChecked(true);
    mCompareReference->setText(toQt(mOptions.compareReference));
    mCompareDonor->setText(toQt(mOptions.compareDonor));
    if (mFooter->text().toStdString() != mOptions.Customtext)
        mFooter->setText(toQt(mOptions.Customtext));
    showFonts();
    mShowing = false;
}

void DrawingOptionsPage::showFonts()
{
    for (auto [label, font] : {std::pair{mMarkerFontSample, &mOptions.markerFont}, std::pair{mQtlFontSample, &mOptions.qtlFont}}) {
        label->setText(fontCaption(*font));
        QFont sample(toQt(font->name), font->size);
        sample.setBold(font->bold);
        sample.setItalic(font->italic);
        sample.setUnderline(font->underline);
        label->setFont(sample);
        label->setStyleSheet(QStringLiteral("color: rgb(%1, %2, %3);")
                                 .arg(redOf(font->color))
                                 .arg(greenOf(font->color))
                                 .arg(blueOf(font->color)));
    }
}

void DrawingOptionsPage::chooseColorMode(DrawingOptions::ColorMode mode)
{
    mOptions.setColorMode(mode);
    showOptions();
    emit changed();
    emit colorModeChosen();
}

void DrawingOptionsPage::chooseComparison(const std::string &reference, const std::string &donor)
{
    mOptions.compareReference = reference;
    mOptions.compareDonor = donor;
    chooseColorMode(DrawingOptions::ColorMode::Comparison);
}

void DrawingOptionsPage::chooseMarkerFont()
{
    if (const auto font = mChooseFont(mOptions.markerFont)) {
        mOptions.markerFont = *font;
        showFonts();
        emit changed();
    }
}

void DrawingOptionsPage::chooseQtlFont()
{
    if (const auto font = mChooseFont(mOptions.qtlFont)) {
        mOptions.qtlFont = *font;
        showFonts();
        emit changed();
    }
}

} // namespace rvk
