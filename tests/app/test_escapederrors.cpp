#include "app/applicationsetup.h"
#include "app/mainwindow.h"
#include "support/scripteduserinterface.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <functional>
#include <new>
#include <stdexcept>
#include <vector>

namespace rvk {
namespace {

using test::ScriptedUserInterface;
using test::TempFolder;

Application &application()
{
    auto *app = dynamic_cast<Application *>(QCoreApplication::instance());
    if (!app)
        throw std::logic_error("the window tests run under the program's application object");
    return *app;
}

// Escaped errors go to ui while the scope lives, as the program's main sends them to its window.
class ErrorInterfaceScope
{
public:
    explicit ErrorInterfaceScope(UserInterface &ui) : mPrevious(application().errorInterface())
    {
        application().setErrorInterface(&ui);
    }
    ~ErrorInterfaceScope() { application().setErrorInterface(mPrevious); }

private:
    UserInterface *mPrevious;
};

struct Window
{
    explicit Window(UserInterface *ui)
    {
        MainWindowOptions options;
        options.programFolder = folder.path().string() + "/";
        options.settingsFile = folder.file("rvk.ini");
        window = std::make_unique<MainWindow>(options, ui);
    }
    TempFolder folder;
    std::unique_ptr<MainWindow> window;
};

void click(QWidget *widget)
{
    const QPointF centre(widget->width() / 2.0, widget->height() / 2.0);
    const QPointF global = widget->mapToGlobal(centre);
    QMouseEvent press(QEvent::MouseButtonPress, centre, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

// Each way a command starts: a click on a control, and a call queued for the event loop (timers,
// the first activation's opening of files, queued signals).
enum class Start { Click, Queued };

void startCommand(Start start, QWidget *window, QPushButton *button, const std::function<void()> &command)
{
    if (start == Start::Click) {
        const auto connection = QObject::connect(button, &QPushButton::clicked, window, command);
        click(button);
        QObject::disconnect(connection);
    } else {
        QMetaObject::invokeMethod(window, command, Qt::QueuedConnection);
        QCoreApplication::processEvents();
    }
}

TEST(EscapedErrors, ACommandThatFailsEndsWithItsOwnTextInAnErrorBoxAndTheWindowGoesOn)
{
    ScriptedUserInterface ui;
    Window w(&ui);
    ErrorInterfaceScope scope(ui);
    auto *button = new QPushButton(QStringLiteral("Run"), w.window.get());
    button->resize(80, 24);
    w.window->show();

    struct Case
    {
        const char *what;
        std::function<void()> fail;
        std::string text;
    } cases[] = {
        {"out of memory", [] { throw std::bad_alloc(); }, "std::bad_alloc"},
        {"vector too large", [] { std::vector<double>(std::size_t(1) << 62); }, "cannot create std::vector larger than max_size()"},
        {"index out of range", [] { throw std::out_of_range("locus 12 of a group of 11"); }, "locus 12 of a group of 11"},
        {"other error", [] { throw std::runtime_error("the matrix is not square"); }, "the matrix is not square"},
        {"no text", [] { throw 42; }, "An unknown error ended the command."},
    };
    for (Start start : {Start::Click, Start::Queued}) {
        for (const Case &c : cases) {
            ui.messages.clear();
            bool finished = false;
            startCommand(start, w.window.get(), button, [&] {
                ui.setProgress(40, 100);
                c.fail();
                finished = true;
            });
            const std::string label = std::string(c.what) + (start == Start::Click ? " (click)" : " (queued)");
            EXPECT_FALSE(finished) << label;
            ASSERT_EQ(ui.messages.size(), 1u) << label;
            EXPECT_EQ(ui.messages[0].kind, UserInterface::MessageKind::Error) << label;
            EXPECT_EQ(ui.messages[0].text, c.text) << label;
            EXPECT_EQ(ui.lastProgress, 0) << label << ": the progress bar is emptied";
            EXPECT_EQ(ui.lastProgressMaximum, 0) << label;

            // The program is still there: the next command runs, and the window's own commands work.
            bool ran = false;
            startCommand(start, w.window.get(), button, [&] { ran = true; });
            EXPECT_TRUE(ran) << label;
        }
    }
    ui.messages.clear();
    w.window->pages()->setCurrentIndex(MainWindow::SettingsPage);
    EXPECT_EQ(w.window->pages()->currentIndex(), MainWindow::SettingsPage);
    EXPECT_EQ(ui.messages.size(), 0u);
}

// With the window's own dialogs: the platform's critical box shows the text, and a command that
// raised the busy cursor before it failed takes the cursor with it.
TEST(EscapedErrors, TheWindowsDialogsShowTheErrorAndTheBusyCursorGoes)
{
    Window w(nullptr);
    ErrorInterfaceScope scope(w.window->userInterface());
    w.window->show();
    QString shownText;
    QMessageBox::Icon shownIcon = QMessageBox::NoIcon;
    bool cursorOverridden = false;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            shownText = box->text();
            shownIcon = box->icon();
            box->done(QMessageBox::Ok);
        }
    });
    closer.start(10);

    UserInterface &ui = w.window->userInterface();
    QMetaObject::invokeMethod(w.window.get(), [&] {
        ui.setBusy(true);
        cursorOverridden = QApplication::overrideCursor() != nullptr;
        std::vector<int> loci(11);
        (void)loci.at(12);
    }, Qt::QueuedConnection);
    for (int i = 0; i < 200 && shownText.isEmpty(); ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    closer.stop();

    EXPECT_TRUE(cursorOverridden);
    EXPECT_EQ(shownIcon, QMessageBox::Critical);
    EXPECT_EQ(shownText.toStdString(), "vector::_M_range_check: __n (which is 12) >= this->size() (which is 11)");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

} // namespace
} // namespace rvk
