#pragma once

#include "core/userinterface.h"

#include <QPointer>
#include <QString>

#include <functional>

class QProgressBar;
class QWidget;

namespace rvk {

// Answers the logic's requests with the platform's dialogs: message boxes with one "OK" button,
// "Yes"/"No" questions, file dialogs, the status bar's progress bar and the busy cursor.
class QtUserInterface : public UserInterface
{
public:
    explicit QtUserInterface(QWidget *parent = nullptr);
    ~QtUserInterface() override;

    // The progress bar that long work moves; none until the window has one.
    void setProgressBar(QProgressBar *bar);
    // Where file dialogs start when the caller names no folder (and where a bare default file
    // name of a save dialog lies): the folder of the data. Without it, the user's documents folder.
    void setStartFolder(std::function<QString()> folder);

    void message(MessageKind kind, const std::string &text) override;
    bool question(const std::string &text) override;
    bool question(MessageKind kind, const std::string &text) override;
    bool confirm(const std::string &text) override;
    std::vector<std::string> openFileNames(const std::string &title, const std::string &filter,
                                           const std::string &startFolder, bool multiple) override;
    std::string saveFileName(const std::string &title, const std::string &filter,
                             const std::string &defaultName) override;
    SaveChoice saveFileChoice(const std::string &title, const std::string &filter, const std::string &defaultName) override;
    // Width and height fields; a changed width changes the height in proportion.
    bool choosePictureSize(const std::string &title, int &width, int &height) override;
    void setProgress(long long position, long long maximum) override;
    void setBusy(bool busy) override;
    // How many busy requests are open, and going back to fewer: a command that ends by an error
    // takes its busy cursor with it.
    int busyDepth() const { return mBusyDepth; }
    void restoreBusyDepth(int depth);

    // "RVK file (*.rvk)|*.rvk|All files (*.*)|*.*" -> "RVK file (*.rvk);;All files (*.*)": the
    // description of each pair, with its patterns added when the description does not show them.
    static QString qtFilter(const std::string &filter);
    // The first pattern's extension ("rvk"), for dialogs that add it to a bare name.
    static QString defaultSuffix(const std::string &filter);

private:
    QString startFolder() const;

    QPointer<QWidget> mParent;
    QPointer<QProgressBar> mProgressBar;
    std::function<QString()> mStartFolder;
    int mBusyDepth = 0;
};

} // namespace rvk
