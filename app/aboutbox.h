#pragma once

#include <QDialog>

namespace rvk {

// The modal About box: program name, build time, where the manual is, and how to cite the
// program, with a button that puts the reference on the clipboard.
class AboutBox : public QDialog
{
    Q_OBJECT

public:
    explicit AboutBox(QWidget *parent = nullptr);

    static QString citation();
};

} // namespace rvk
