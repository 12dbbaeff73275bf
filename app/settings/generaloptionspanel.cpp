#include "app/settings/generaloptionspanel.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace rvk {

namespace {

QSpinBox *rangeField(const char *name, GeneralOptions::Range range)
{
    auto *field = new QSpinBox;
    field->setObjectName(QString::fromLatin1(name));
    field->setRange(range.min, range.max);
    return field;
}

} // namespace

GeneralOptionsPanel::GeneralOptionsPanel(QWidget *parent)
    : QGroupBox(QStringLiteral("General options"), parent),
      mHetFragment(new QLineEdit),
      mAssoAmp(rangeField("asso_amp", GeneralOptions::asso_ampRange)),
      mColourOffset(rangeField("coloroffset", GeneralOptions::coloroffsetRange)),
      mSArho(rangeField("SArho", GeneralOptions::SArhoRange)),
      mIterRepeat(rangeField("iterrepeat", GeneralOptions::iterrepeatRange)),
      mDeducePhase(new QCheckBox(QStringLiteral("deduce locus phase "))),
      mBarPlot(new QRadioButton(QStringLiteral("R² bar plot"))),
      mGradientPlot(new QRadioButton(QStringLiteral("R² gradient plot"))),
      mUseFdr(new QRadioButton(QStringLiteral("FDR q threshold:"))),
      mUseP(new QRadioButton(QStringLiteral("p-value threshold:"))),
      mQThreshold(new QLineEdit),
      mPThreshold(new QLineEdit)
{
    setObjectName(QStringLiteral("GeneralOptions"));
    mHetFragment->setObjectName(QStringLiteral("hetfragment"));
    mDeducePhase->setObjectName(QStringLiteral("deducephase"));
    mUseFdr->setObjectName(QStringLiteral("useFDRthreshold"));
    mUseP->setObjectName(QStringLiteral("usepthreshold"));
    mQThreshold->setObjectName(QStringLiteral("qthreshold"));
    mPThreshold->setObjectName(QStringLiteral("pthreshold"));

    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Allele for Heterozygous fragment stats:"), mHetFragment);
    form->addRow(QStringLiteral("Plotted association amplification (%):"), mAssoAmp);
    form->addRow(QStringLiteral("color intensity offset (0-255) :"), mColourOffset);
    form->addRow(QStringLiteral("Subset selection via simulated annealing: cooling parameter (%): "), mSArho);
    form->addRow(QStringLiteral("Number of max values found before iteration is stopped"), mIterRepeat);
    layout->addLayout(form);

    auto *haploid = new QGroupBox(QStringLiteral("HAP && DH population"));
    (new QVBoxLayout(haploid))->addWidget(mDeducePhase);
    layout->addWidget(haploid);

    auto *plot = new QGroupBox(QStringLiteral("Association plot"));
    plot->setObjectName(QStringLiteral("associationplot"));
    auto *plotLayout = new QVBoxLayout(plot);
    plotLayout->addWidget(mBarPlot);
    plotLayout->addWidget(mGradientPlot);
    layout->addWidget(plot);

    auto *threshold = new QGroupBox(QStringLiteral("Association plot threshold"));
    auto *thresholdLayout = new QGridLayout(threshold);
    thresholdLayout->addWidget(mUseFdr, 0, 0);
    thresholdLayout->addWidget(mQThreshold, 0, 1);
    thresholdLayout->addWidget(mUseP, 1, 0);
    thresholdLayout->addWidget(mPThreshold, 1, 1);
    layout->addWidget(threshold);

    auto *note = new QLabel(QStringLiteral("Note: for allele codes that represent missing data, enter a Numval value of -99 !"));
    note->setWordWrap(true);
    layout->addWidget(note);
    layout->addStretch();

    setOptions(GeneralOptions{});

    for (QLineEdit *edit : {mHetFragment, mQThreshold, mPThreshold})
        connect(edit, &QLineEdit::editingFinished, this, &GeneralOptionsPanel::changed);
    for (QSpinBox *field : {mAssoAmp, mColourOffset, mSArho, mIterRepeat})
        connect(field, &QSpinBox::valueChanged, this, &GeneralOptionsPanel::changed);
    for (QAbstractButton *button : std::initializer_list<QAbstractButton *>{mDeducePhase, mBarPlot, mGradientPlot, mUseFdr, mUseP})
        connect(button, &QAbstractButton::toggled, this, &GeneralOptionsPanel::changed);
}

GeneralOptions GeneralOptionsPanel::options() const
{
    GeneralOptions options;
    options.hetfragment = mHetFragment->text().toStdString();
    options.asso_amp = mAssoAmp->value();
    options.coloroffset = mColourOffset->value();
    options.SArho = mSArho->value();
    options.iterrepeat = mIterRepeat->value();
    options.deducephase = mDeducePhase->isChecked();
    options.associationplot = mGradientPlot->isChecked() ? GeneralOptions::AssociationPlot::GradientPlot
                                                         : GeneralOptions::AssociationPlot::BarPlot;
    options.useFDRthreshold = !mUseP->isChecked();
    options.qthreshold = mQThreshold->text().toStdString();
    options.pthreshold = mPThreshold->text().toStdString();
    return options;
}

void GeneralOptionsPanel::setOptions(const GeneralOptions &options)
{
    const QSignalBlocker blocker(this);
    mHetFragment->setText(QString::fromStdString(options.hetfragment));
    mAssoAmp->setValue(options.asso_amp);
    mColourOffset->setValue(options.coloroffset);
    mSArho->setValue(options.SArho);
    mIterRepeat->setValue(options.iterrepeat);
    mDeducePhase->setChecked(options.deducephase);
    (options.associationplot == GeneralOptions::AssociationPlot::GradientPlot ? mGradientPlot : mBarPlot)->setChecked(true);
    (options.useFDRthreshold ? mUseFdr : mUseP)->setChecked(true);
    mQThreshold->setText(QString::fromStdString(options.qthreshold));
    mPThreshold->setText(QString::fromStdString(options.pthreshold));
}

} // namespace rvk
