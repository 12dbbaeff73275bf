#include "cli/commandoutput.h"

#include "core/safefile.h"
#include "render/picturefiles.h"

#include <ostream>

namespace rvk::cli {

bool CommandOutput::text(const std::string &path, const std::string &bytes)
{
    std::string error;
    if (!writeFileReplacing(path, bytes, &error)) {
        fail(error);
        return false;
    }
    if (mPrintNames)
        mContext.out << path << "\n";
    return true;
}

bool CommandOutput::picture(const ViewPicture &picture, const std::string &path, const std::string &nativeFormat)
{
    std::string written, error;
    if (!savePictureFile(picture, path, nativeFormat.empty() ? pictureExtension(path) : nativeFormat, written, error)) {
        fail(error);
        return false;
    }
    if (mPrintNames)
        mContext.out << written << "\n";
    return true;
}

void CommandOutput::fail(const std::string &message)
{
    mContext.err << message << "\n";
    mStatus = 1;
}

} // namespace rvk::cli
