#pragma once

#include "core/userinterface.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace rvk {

// The UserInterface of work running away from the window: messages are kept, in order, to be
// shown by the window's own interface once the work has ended; progress goes to a function that
// may stop the work. Questions and file choices are answered "No" and nothing: work that runs
// away from the window must not need them.
class DeferredUserInterface : public UserInterface
{
public:
    // progress(position, maximum) is called for every progress report with a maximum above 0;
    // what it throws ends the work.
    explicit DeferredUserInterface(std::function<void(long long, long long)> progress = {}) : mProgress(std::move(progress)) {}

    void message(MessageKind kind, const std::string &text) override { mMessages.push_back({kind, text}); }
    using UserInterface::question;
    bool question(const std::string &) override { return false; }
    std::vector<std::string> openFileNames(const std::string &, const std::string &, const std::string &, bool) override { return {}; }
    std::string saveFileName(const std::string &, const std::string &, const std::string &) override { return {}; }
    void setProgress(long long position, long long maximum) override
    {
        if (mProgress && maximum > 0)
            mProgress(position, maximum);
    }
    void setBusy(bool) override {}

    // Shows the kept messages through ui, in the order they were given, and forgets them.
    void replay(UserInterface &ui)
    {
        for (const auto &[kind, text] : mMessages)
            ui.message(kind, text);
        mMessages.clear();
    }

private:
    std::function<void(long long, long long)> mProgress;
    std::vector<std::pair<MessageKind, std::string>> mMessages;
};

} // namespace rvk
