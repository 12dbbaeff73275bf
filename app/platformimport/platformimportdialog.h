#pragma once

#include "core/platformimport.h"

#include <QDialog>

class QComboBox;
class QDoubleSpinBox;
class QLineEdit;

namespace rvk {

class UserInterface;

// "Import VCF/HapMap": the file and what to take of it (region, samples, filters, cM map,
// population type). The choices stay for the next import.
class PlatformImportDialog : public QDialog
{
    Q_OBJECT

public:
    PlatformImportDialog(UserInterface &ui, QWidget *parent = nullptr);

    QString path() const;
    void setPath(const QString &path);
    PlatformImportOptions options() const;
    void setOptions(const PlatformImportOptions &options);

    // The population types offered; the first, "automatic", deduces "ri" or "f2" from the calls.
    static QStringList populationTypes();

private:
    QLineEdit *fileField(const QString &objectName, const char *title, const char *filter);

    UserInterface &mUi;
    QLineEdit *mPath;
    QLineEdit *mRegion;
    QLineEdit *mSamples;
    QLineEdit *mMap;
    QDoubleSpinBox *mMinMaf;
    QDoubleSpinBox *mMaxMissing;
    QComboBox *mPopulationType;
};

} // namespace rvk
