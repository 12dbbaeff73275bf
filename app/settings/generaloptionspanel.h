#pragma once

#include "settings/generaloptions.h"

#include <QGroupBox>

class QCheckBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace rvk {

// "General options": values the analyses read at the moment they run.
class GeneralOptionsPanel : public QGroupBox
{
    Q_OBJECT

public:
    explicit GeneralOptionsPanel(QWidget *parent = nullptr);

    GeneralOptions options() const;
    void setOptions(const GeneralOptions &options);

signals:
    void changed();

private:
    QLineEdit *mHetFragment;
    QSpinBox *mAssoAmp;
    QSpinBox *mColourOffset;
    QSpinBox *mSArho;
    QSpinBox *mIterRepeat;
    QCheckBox *mDeducePhase;
    QRadioButton *mBarPlot;
    QRadioButton *mGradientPlot;
    QRadioButton *mUseFdr;
    QRadioButton *mUseP;
    QLineEdit *mQThreshold;
    QLineEdit *mPThreshold;
};

} // namespace rvk
