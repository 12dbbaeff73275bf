#include "app/platformimport/platformimportdialog.h"

#include <QFontMetrics>

#include <algorithm>

#include "core/userinterface.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace rvk {

namespace {
// A row label whose access key moves to field, which sits in a row of its own with a button.
QLabel *buddyLabel(const QString &text, QWidget *field)
{
    auto *label = new QLabel(text);
    label->setBuddy(field);
    return label;
}
} // namespace

PlatformImportDialog::PlatformImportDialog(UserInterface &ui, QWidget *parent) : QDialog(parent), mUi(ui)
{
    setObjectName(QStringLiteral("PlatformImportDialog"));
    setWindowTitle(QStringLiteral("Import VCF/HapMap"));
    auto *form = new QFormLayout;

    mPath = new QLineEdit;
    auto *pathRow = new QHBoxLayout;
    mPath->setObjectName(QStringLiteral("platformFile"));
    auto *browse = new QPushButton(QStringLiteral("&Browse.."));
    connect(browse, &QPushButton::clicked, this, [this] {
        const auto chosen = mUi.openFileNames("Genotype file", "VCF, BCF and HapMap files (*.vcf *.vcf.gz *.bcf *.hmp.txt)|"
                                                               "*.vcf;*.vcf.gz;*.bcf;*.hmp.txt",
                                              {}, false);
        if (!chosen.empty())
            mPath->setText(QString::fromStdString(chosen.front()));
    });
    pathRow->addWidget(mPath, 1);
    pathRow->addWidget(browse);
    auto *pathLabel = new QLabel(QStringLiteral("&File:"));
    pathLabel->setBuddy(mPath);
    form->addRow(pathLabel, pathRow);

    mRegion = new QLineEdit;
    mRegion->setObjectName(QStringLiteral("region"));
    mRegion->setPlaceholderText(QStringLiteral("all (or CHROM, or CHROM:FROM-TO)"));
    form->addRow(QStringLiteral("&Region:"), mRegion);

    mSamples = fileField(QStringLiteral("samplesFile"), "Samples file", "Text file (*.txt)|*.txt|All files (*.*)|*.*");
    mSamples->setPlaceholderText(QStringLiteral("all (or a file naming one sample per line)"));
    form->addRow(buddyLabel(QStringLiteral("&Samples:"), mSamples), mSamples->parentWidget());

    mMinMaf = new QDoubleSpinBox;
    mMinMaf->setObjectName(QStringLiteral("minMaf"));
    mMinMaf->setRange(0.0, 0.5);
    mMinMaf->setDecimals(3);
    mMinMaf->setSingleStep(0.01);
    form->addRow(QStringLiteral("Minimum minor-allele &frequency:"), mMinMaf);

    mMaxMissing = new QDoubleSpinBox;
    mMaxMissing->setObjectName(QStringLiteral("maxMissing"));
    mMaxMissing->setRange(0.0, 1.0);
    mMaxMissing->setDecimals(3);
    mMaxMissing->setSingleStep(0.05);
    mMaxMissing->setValue(1.0);
    form->addRow(QStringLiteral("Maximum share of &missing calls:"), mMaxMissing);

    mMap = fileField(QStringLiteral("mapFile"), "Map file", "Map file (*.map)|*.map|All files (*.*)|*.*");
    mMap->setPlaceholderText(QStringLiteral("none: positions in Mb (POS / 1,000,000)"));
    form->addRow(buddyLabel(QStringLiteral("c&M map:"), mMap), mMap->parentWidget());

    mPopulationType = new QComboBox;
    mPopulationType->setObjectName(QStringLiteral("popt"));
    mPopulationType->addItems(populationTypes());
    form->addRow(QStringLiteral("&Population type:"), mPopulationType);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    // Every field shows its whole placeholder, and a path of some 60 characters (72 average ones), uncut.
    for (QLineEdit *field : findChildren<QLineEdit *>()) {
        const QFontMetrics metrics(field->font());
        const int text = std::max(metrics.horizontalAdvance(field->placeholderText()), metrics.averageCharWidth() * 72);
        field->setMinimumWidth(text + 24);
    }
}

QLineEdit *PlatformImportDialog::fileField(const QString &objectName, const char *title, const char *filter)
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *field = new QLineEdit;
    field->setObjectName(objectName);
    auto *browse = new QPushButton(QStringLiteral("Browse.."));
    connect(browse, &QPushButton::clicked, this, [this, field, title, filter] {
        const auto chosen = mUi.openFileNames(title, filter, {}, false);
        if (!chosen.empty())
            field->setText(QString::fromStdString(chosen.front()));
    });
    layout->addWidget(field, 1);
    layout->addWidget(browse);
    return field;
}

QStringList PlatformImportDialog::populationTypes()
{
    return {QStringLiteral("automatic"), QStringLiteral("ri"), QStringLiteral("f2"), QStringLiteral("dh"),
            QStringLiteral("hap"), QStringLiteral("bc")};
}

QString PlatformImportDialog::path() const { return mPath->text().trimmed(); }
void PlatformImportDialog::setPath(const QString &path) { mPath->setText(path); }

PlatformImportOptions PlatformImportDialog::options() const
{
    PlatformImportOptions options;
    options.region = mRegion->text().trimmed().toStdString();
    options.samplesFile = mSamples->text().trimmed().toStdString();
    options.mapFile = mMap->text().trimmed().toStdString();
    options.minMaf = mMinMaf->value();
    options.maxMissing = mMaxMissing->value();
    if (mPopulationType->currentIndex() > 0)
        options.popt = mPopulationType->currentText().toStdString();
    return options;
}

void PlatformImportDialog::setOptions(const PlatformImportOptions &options)
{
    mRegion->setText(QString::fromStdString(options.region));
    mSamples->setText(QString::fromStdString(options.samplesFile));
    mMap->setText(QString::fromStdString(options.mapFile));
    mMinMaf->setValue(options.minMaf);
    mMaxMissing->setValue(options.maxMissing);
    const int index = mPopulationType->findText(QString::fromStdString(options.popt));
    mPopulationType->setCurrentIndex(index < 0 ? 0 : index);
}

} // namespace rvk
