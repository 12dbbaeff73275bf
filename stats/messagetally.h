#pragma once
// Collects the messages of one analysis run and shows each distinct text once, after the run,
// with the number of times it occurred. The classical distributions report a failed
// computation every time it fails; in a run over thousands of markers and traits that would
// be thousands of modal boxes with the same text.
//
// Use it in place of the window's UserInterface for the duration of a run:
//     MessageTally tally(ui);
//     runAnalysis(..., tally);
//     tally.flush();            // also done when the tally goes
// Questions, file choices, progress and the busy cursor pass straight through.

#include "core/userinterface.h"

#include <string>
#include <vector>

namespace rvk {

class MessageTally : public UserInterface
{
public:
    explicit MessageTally(UserInterface &target) : mTarget(target) {}
    ~MessageTally() override;
    MessageTally(const MessageTally &) = delete;
    MessageTally &operator=(const MessageTally &) = delete;

    void message(MessageKind kind, const std::string &text) override;
    bool question(const std::string &text) override { return mTarget.question(text); }
    bool question(MessageKind kind, const std::string &text) override { return mTarget.question(kind, text); }
    bool confirm(const std::string &text) override { return mTarget.confirm(text); }
    std::vector<std::string> openFileNames(const std::string &title, const std::string &filter,
                                           const std::string &startFolder, bool multiple) override
    {
        return mTarget.openFileNames(title, filter, startFolder, multiple);
    }
    std::string saveFileName(const std::string &title, const std::string &filter, const std::string &defaultName) override
    {
        return mTarget.saveFileName(title, filter, defaultName);
    }
    void setProgress(long long position, long long maximum) override { mTarget.setProgress(position, maximum); }
    void setBusy(bool busy) override { mTarget.setBusy(busy); }

    // Shows every collected message once, in the order each first occurred, and forgets them.
    void flush();

    struct Entry
    {
        MessageKind kind;
        std::string text;
        long long count;
    };
    const std::vector<Entry> &entries() const { return mEntries; }

    // The text shown for a message that occurred count times: the text itself when once, else
    // the text followed by " (occurred N times)".
    static std::string tallyText(const std::string &text, long long count);

private:
    UserInterface &mTarget;
    std::vector<Entry> mEntries; // distinct texts are few; a linear search is enough
};

} // namespace rvk
