#pragma once

#include "render/pointerinspection.h"

#include <QSpinBox>

namespace rvk {

// The "Ind:" field: its spin button and keys ask for a step through the individuals (which
// skips unselected ones) instead of counting by one, and Enter asks for the typed number.
class IndividualField : public QSpinBox
{
    Q_OBJECT

public:
    explicit IndividualField(QWidget *parent = nullptr);

    void stepBy(int steps) override;

signals:
    void stepRequested(rvk::StepDirection direction);
    void numberEntered(const QString &text);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    StepEnabled stepEnabled() const override;
};

} // namespace rvk
