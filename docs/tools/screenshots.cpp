// rvk-screenshots OUTPUT_FOLDER: pictures of the real windows for the manual, taken offscreen.
// Opens the example data in a main window of the usual size, grabs every page and the windows of
// a few menu commands, and writes them as PNG files named after the page or window.

#include "app/applicationsetup.h"
#include "app/association/associationpage.h"
#include "app/mainwindow.h"
#include "app/platformimport/platformimportdialog.h"
#include "core/userinterface.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace {

// Answers nothing and shows nothing: a screenshot run must never wait for a click.
class SilentUserInterface : public rvk::UserInterface
{
public:
    void message(MessageKind, const std::string &text) override { std::fprintf(stderr, "message: %s\n", text.c_str()); }
    // Only the tree viewer's question is answered "Yes" (RVK's own viewer).
    bool question(const std::string &text) override { return text.find("treeviewer") != std::string::npos; }
    // The trait file of the example for "Load .qua file"; nothing else is opened.
    std::vector<std::string> openFileNames(const std::string &title, const std::string &, const std::string &, bool) override
    {
        if (title == "Load .qua file")
            return {RVK_SOURCE_DIR "/examples/listeria.qua"};
        return {};
    }
    std::string saveFileName(const std::string &, const std::string &, const std::string &) override { return {}; }
    void setProgress(long long, long long) override {}
    void setBusy(bool) override {}
};

QString slug(QString caption)
{
    caption.remove(QLatin1Char('&'));
    QString result;
    for (const QChar c : caption.trimmed().toLower())
        result += c.isLetterOrNumber() ? c : QLatin1Char('-');
    while (result.contains(QLatin1String("--")))
        result.replace(QLatin1String("--"), QLatin1String("-"));
    if (result.endsWith(QLatin1Char('-')))
        result.chop(1);
    return result;
}

void settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

bool save(QWidget *widget, const QString &path)
{
    settle();
    const bool saved = widget->grab().save(path, "PNG");
    std::fprintf(stderr, "%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    return saved;
}

// Clicks the button with this caption inside root; false when there is none or it is disabled.
bool click(QWidget *root, const QString &caption)
{
    for (QAbstractButton *button : root->findChildren<QAbstractButton *>())
        if (button->text() == caption && button->isEnabled() && button->isVisibleTo(root)) {
            button->click();
            settle();
            return true;
        }
    std::fprintf(stderr, "no button %s\n", qPrintable(caption));
    return false;
}

// Grabs every window shown besides the main window, then closes it.
void saveOtherWindows(QWidget &window, const QString &path)
{
    settle();
    for (QWidget *shown : QApplication::topLevelWidgets())
        if (shown != &window && shown->isVisible() && shown->isWindow() && !qobject_cast<QMenu *>(shown)) {
            save(shown, path);
            shown->close();
        }
}

QAction *menuCommand(QMenuBar *bar, const QString &menu, const QString &command)
{
    for (QAction *top : bar->actions())
        if (top->text() == menu && top->menu())
            for (QAction *action : top->menu()->actions())
                if (action->text() == command)
                    return action;
    return nullptr;
}

} // namespace

int main(int argc, char *argv[])
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    rvk::configureApplication(application);
    if (argc < 2) {
        std::fprintf(stderr, "usage: rvk-screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);

    // Default settings of a fresh start, not those of whoever runs this.
    QTemporaryDir scratch;
    SilentUserInterface ui;
    rvk::MainWindowOptions options;
    options.settingsFile = (scratch.path() + QStringLiteral("/rvk.ini")).toStdString();
    rvk::MainWindow window(options, &ui);
    window.resize(1100, 760);
    window.show();
    settle();
    save(&window, out + QStringLiteral("/window-empty.png"));

    window.openDataFiles({QStringLiteral(RVK_SOURCE_DIR "/examples/listeria.rvk")});
    settle();
    QTabWidget *pages = window.pages();
    for (int page = 0; page < pages->count(); ++page) {
        pages->setCurrentIndex(page);
        save(&window, out + QStringLiteral("/page-") + slug(pages->tabText(page)) + QStringLiteral(".png"));
    }
    pages->setCurrentIndex(rvk::MainWindow::ImagePageIndex);

    // Windows opened from the menu.
    const std::pair<QString, QString> commands[] = {
        {QStringLiteral("S&tatistics  "), QStringLiteral("Statistics on &Current View")},
        {QStringLiteral("S&tatistics  "), QStringLiteral("&Global Statistics")},
        {QStringLiteral("S&tatistics  "), QStringLiteral("&Marker Statistics")},
        {QStringLiteral("  &File  "), QStringLiteral("&Build RVK File..")},
        {QStringLiteral("&Edit   "), QStringLiteral("Excel style edit")},
    };
    for (const auto &[menu, command] : commands) {
        QAction *action = menuCommand(window.menuBar(), menu, command);
        if (!action || !action->isEnabled()) {
            std::fprintf(stderr, "no command %s\n", qPrintable(command));
            continue;
        }
        // A window shown modally is grabbed and closed from the event loop it runs.
        bool grabbed = false;
        auto grabWindows = [&] {
            for (QWidget *shown : QApplication::topLevelWidgets())
                if (shown != &window && shown->isVisible() && shown->isWindow() && !qobject_cast<QMenu *>(shown)) {
                    save(shown, out + QStringLiteral("/window-") + slug(command) + QStringLiteral(".png"));
                    shown->close();
                    grabbed = true;
                }
        };
        QTimer modal;
        modal.setSingleShot(true);
        QObject::connect(&modal, &QTimer::timeout, grabWindows);
        modal.start(500);
        action->trigger();
        modal.stop();
        settle();
        if (!grabbed)
            grabWindows();
    }

    // The import dialog of genotyping-platform files, as the open dialog shows it for a VCF file.
    {
        rvk::PlatformImportDialog dialog(ui, &window);
        dialog.setPath(QStringLiteral("/data/panel.vcf.gz"));
        dialog.show();
        save(&dialog, out + QStringLiteral("/window-import-vcf-hapmap.png"));
        dialog.close();
    }

    // Pages with results: LD of the first group, the distances with their NJ tree, the trait
    // data with the correlation association and its plot.
    pages->setCurrentIndex(rvk::MainWindow::LdPage);
    if (click(pages->currentWidget(), QStringLiteral("only this group>")))
        save(&window, out + QStringLiteral("/page-ld-results.png"));

    pages->setCurrentIndex(rvk::MainWindow::DistancesPage);
    if (click(pages->currentWidget(), QStringLiteral("Calculate"))) {
        save(&window, out + QStringLiteral("/page-genetic-distances-results.png"));
        if (click(pages->currentWidget(), QStringLiteral("NJ Dendrogram")))
            saveOtherWindows(window, out + QStringLiteral("/window-treeform.png"));
    }

    pages->setCurrentIndex(rvk::MainWindow::AssociationsPage);
    if (rvk::AssociationPage *association = rvk::associationPage(window)) {
        association->chooseAnalysis = [] { return rvk::AssociationPage::AnalysisChoice::Correlation; };
        if (click(association, QStringLiteral("Load .qua file"))) {
            save(&window, out + QStringLiteral("/page-associations-traits.png"));
            if (click(association, QStringLiteral("Calc Assoc."))) {
                saveOtherWindows(window, out + QStringLiteral("/window-association-report.png"));
                save(&window, out + QStringLiteral("/page-associations-results.png"));
                if (click(association, QStringLiteral("Plot Assoc.")))
                    save(&window, out + QStringLiteral("/view-association-plot.png"));
            }
        }
    }
    return 0;
}
