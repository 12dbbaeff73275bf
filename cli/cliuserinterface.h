#pragma once

#include "core/userinterface.h"

#include <iosfwd>

namespace rvk::cli {

// The command line's answers: messages go to standard error, questions are answered "No",
// nothing is chosen in a file dialog and progress is not shown.
class CliUserInterface : public UserInterface
{
public:
    explicit CliUserInterface(std::ostream &err) : mErr(err) {}

    void message(MessageKind kind, const std::string &text) override;
    using UserInterface::question;
    bool question(const std::string &text) override;
    std::vector<std::string> openFileNames(const std::string &, const std::string &, const std::string &, bool) override { return {}; }
    std::string saveFileName(const std::string &, const std::string &, const std::string &) override { return {}; }
    void setProgress(long long, long long) override {}
    void setBusy(bool) override {}

    int messageCount() const { return mMessages; }

private:
    std::ostream &mErr;
    int mMessages = 0;
};

} // namespace rvk::cli
