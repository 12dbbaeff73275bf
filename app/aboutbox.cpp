#include "app/aboutbox.h"

#include "app/buildinfo.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace rvk {

QString AboutBox::citation()
{
    return QStringLiteral("RVK 2.0: graphical genotypes of mapping and breeding populations "
                          "(computer program, version 2.0).");
}

AboutBox::AboutBox(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    auto *layout = new QVBoxLayout(this);

    auto *name = new QLabel(programTitle());
    QFont bold = name->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 4);
    name->setFont(bold);
    layout->addWidget(name);
    layout->addWidget(new QLabel(QStringLiteral("Build ") + buildDateTimeText()));

    // No web page or mail address is shown until the program has ones that lead somewhere;
    // the manual and the list of changes are in the Help menu.
    layout->addWidget(new QLabel(QStringLiteral("The manual and the list of changes are in the Help menu.")));

    layout->addWidget(new QLabel(QStringLiteral("Please cite:")));
    auto *reference = new QLabel(citation());
    reference->setWordWrap(true);
    reference->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(reference);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    QPushButton *copy = buttons->addButton(QStringLiteral("Copy reference"), QDialogButtonBox::ActionRole);
    connect(copy, &QPushButton::clicked, this, [] { QApplication::clipboard()->setText(citation()); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

} // namespace rvk
