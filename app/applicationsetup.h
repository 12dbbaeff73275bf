#pragma once

#include <QApplication>

#include <memory>
#include <string>

namespace rvk {

class QtUserInterface;
class UserInterface;

// The program's application object. An error that escapes a command (any slot or event handler:
// running out of memory, an index out of range) ends that command, not the program: it is shown
// in an error box with its own text, and the window with the user's unsaved work goes on.
class Application : public QApplication
{
public:
    Application(int &argc, char **argv);
    ~Application() override;

    // Where escaped errors are shown: the main window's interaction interface. Without one
    // (before the window exists, after it is gone) the platform's error box shows them.
    void setErrorInterface(UserInterface *ui);
    UserInterface *errorInterface() const { return mUi; }

    bool notify(QObject *receiver, QEvent *event) override;

private:
    void reportEscapedError(const std::string &text);

    UserInterface *mUi = nullptr;
    QtUserInterface *mQtUi = nullptr; // mUi when it is the window's dialogs, for its busy cursor
    std::unique_ptr<QtUserInterface> mFallbackUi;
    bool mReporting = false;
};

// What the program sets up before its first window: "." as the decimal point whatever the
// user's locale, the program's name, the tool tip timing.
void configureApplication(QApplication &application);

// The program's name, as message boxes show it in their title bar.
inline constexpr const char *ApplicationName = "RVK - graphical genotypes";

} // namespace rvk
