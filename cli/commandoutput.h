#pragma once

#include "cli/clicommand.h"

#include <string>
#include <vector>

namespace rvk {
class ViewPicture;
}

namespace rvk::cli {

// The files a command writes: each is written whole or not at all, its name printed on standard
// output and a failure's message on standard error; any failure makes the exit status 1.
class CommandOutput
{
public:
    explicit CommandOutput(CommandContext &context, bool printNames = true) : mContext(context), mPrintNames(printNames) {}

    bool text(const std::string &path, const std::string &bytes);
    // The picture in the format of the path's extension, or in nativeFormat without one.
    bool picture(const ViewPicture &picture, const std::string &path, const std::string &nativeFormat = {});
    // A table of text cells, rows first, as a spreadsheet file (.xls); columns -1: as many as the
    // widest row has, a short row's missing cells empty.
    bool spreadsheet(const std::string &path, const std::vector<std::vector<std::string>> &rows, int columns = -1);
    // A message on standard error that fails the run.
    void fail(const std::string &message);
    // A failure whose message has been given already.
    void markFailed() { mStatus = 1; }
    int status() const { return mStatus; }

private:
    CommandContext &mContext;
    bool mPrintNames;
    int mStatus = 0;
};

} // namespace rvk::cli
