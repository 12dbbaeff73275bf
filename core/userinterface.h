#pragma once

#include <string>
#include <vector>

namespace rvk {

// Everything the logic asks of the person in front of the program: messages, questions, file
// choices and progress. The main window answers with dialogs; the command-line front end and
// the tests answer from a script. The logic never opens a dialog itself.
class UserInterface
{
public:
    enum class MessageKind { Information, Warning, Error };

    virtual ~UserInterface() = default;

    // A modal message with one "OK" button.
    virtual void message(MessageKind kind, const std::string &text) = 0;
    // A "Yes"/"No" question; true for "Yes".
    virtual bool question(const std::string &text) = 0;
    // A "Yes"/"No" question shown as a message of the given kind (its icon): a warning before
    // something is deleted, an information where the answer only shapes an output.
    virtual bool question(MessageKind kind, const std::string &text) { return question(text); }
    // An "OK"/"Cancel" confirmation; true for "OK".
    virtual bool confirm(const std::string &text) { return question(text); }

    // File choices. filter uses the "Description (*.ext)|*.ext" form; an empty answer cancels.
    virtual std::vector<std::string> openFileNames(const std::string &title, const std::string &filter,
                                                   const std::string &startFolder, bool multiple) = 0;
    virtual std::string saveFileName(const std::string &title, const std::string &filter,
                                     const std::string &defaultName) = 0;
    // A save-file choice together with the filter entry chosen for it (0-based), for commands
    // whose file type follows the chosen entry rather than the typed name. filterIndex is -1
    // when the front end cannot tell which entry was chosen.
    struct SaveChoice
    {
        std::string path;
        int filterIndex = -1;
    };
    virtual SaveChoice saveFileChoice(const std::string &title, const std::string &filter, const std::string &defaultName)
    {
        return {saveFileName(title, filter, defaultName), -1};
    }

    // Progress of long work: position out of maximum; reset with setProgress(0, 0).
    virtual void setProgress(long long position, long long maximum) = 0;
    // A busy cursor while files are read.
    virtual void setBusy(bool busy) = 0;

    // The pixel size of a raster picture file about to be saved, proposed as width x height;
    // false cancels. Front ends that cannot ask take the proposal.
    virtual bool choosePictureSize(const std::string &title, int &width, int &height)
    {
        (void)title;
        (void)width;
        (void)height;
        return true;
    }

    void warning(const std::string &text) { message(MessageKind::Warning, text); }
    void information(const std::string &text) { message(MessageKind::Information, text); }
    void error(const std::string &text) { message(MessageKind::Error, text); }
};

// A UserInterface that answers nothing and shows nothing: for work that must not ask.
class SilentUserInterface : public UserInterface
{
public:
    void message(MessageKind, const std::string &) override {}
    using UserInterface::question;
    bool question(const std::string &) override { return false; }
    std::vector<std::string> openFileNames(const std::string &, const std::string &, const std::string &, bool) override { return {}; }
    std::string saveFileName(const std::string &, const std::string &, const std::string &) override { return {}; }
    void setProgress(long long, long long) override {}
    void setBusy(bool) override {}
};

} // namespace rvk
