#include "app/dataediting/individualfield.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace rvk {

IndividualField::IndividualField(QWidget *parent) : QSpinBox(parent)
{
    setKeyboardTracking(false);
}

QAbstractSpinBox::StepEnabled IndividualField::stepEnabled() const
{
    // The step decides itself whether there is anywhere to go.
    return StepUpEnabled | StepDownEnabled;
}

void IndividualField::stepBy(int steps)
{
    if (steps == 0)
        return;
    const bool page = steps >= 10 || steps <= -10;
    if (steps > 0)
        emit stepRequested(page ? StepDirection::PageUp : StepDirection::Up);
    else
        emit stepRequested(page ? StepDirection::PageDown : StepDirection::Down);
}

void IndividualField::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit numberEntered(lineEdit()->text());
        event->accept();
        return;
    }
    QSpinBox::keyPressEvent(event);
}

} // namespace rvk
