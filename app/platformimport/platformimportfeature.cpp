#include "app/features.h"

#include "app/mainwindow.h"
#include "app/platformimport/platformimportdialog.h"

namespace rvk {

void installPlatformImportFeature(MainWindow &window)
{
    // A VCF, BCF or HapMap file chosen in the open dialog is read with the choices of the import
    // dialog; dropped files, the recent list and the command line read whole files.
    auto *dialog = new PlatformImportDialog(window.userInterface(), &window);
    window.setPlatformOptionsChooser([dialog](const QString &path) -> std::optional<PlatformImportOptions> {
        dialog->setPath(path);
        if (dialog->exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog->options();
    });
}

} // namespace rvk
