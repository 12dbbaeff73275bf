// The import dialog for genotyping-platform files, shown offscreen.
#include "app/platformimport/platformimportdialog.h"
#include "support/scripteduserinterface.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLineEdit>

namespace rvk {
namespace {

// Each field, laid out as shown, holds its whole placeholder and a path of 60 characters.
TEST(PlatformImportDialog, FieldsShowTheirPlaceholdersAndLongPathsUncut)
{
    test::ScriptedUserInterface ui;
    PlatformImportDialog dialog(ui);
    dialog.show();
    const auto fields = dialog.findChildren<QLineEdit *>();
    ASSERT_GE(fields.size(), 3);
    for (QLineEdit *field : fields) {
        const QFontMetrics metrics(field->font());
        const QString path = QStringLiteral("/home/breeder/projects/panel-2026/genotypes/chromosomes.vcf.gz");
        // The frame and the text margins take a few pixels on either side.
        const int room = field->width() - 12;
        EXPECT_GE(room, metrics.horizontalAdvance(field->placeholderText())) << field->objectName().toStdString();
        EXPECT_GE(room, metrics.horizontalAdvance(path)) << field->objectName().toStdString();
    }
}

} // namespace
} // namespace rvk
