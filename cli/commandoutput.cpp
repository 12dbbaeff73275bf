#include "cli/commandoutput.h"

#include "core/safefile.h"
#include "io/spreadsheetwriter.h"
#include "render/picturefiles.h"

#include <algorithm>
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

bool CommandOutput::spreadsheet(const std::string &path, const std::vector<std::vector<std::string>> &rows, int columns)
{
    if (columns < 0) {
        columns = 0;
        for (const auto &row : rows)
            columns = std::max(columns, static_cast<int>(row.size()));
    }
    std::string error;
    const auto cell = [&rows](int column, int row) {
        const auto &cells = rows[static_cast<size_t>(row)];
        return static_cast<size_t>(column) < cells.size() ? cells[static_cast<size_t>(column)] : std::string();
    };
    if (!WriteGridAsSpreadsheet(columns, static_cast<int>(rows.size()), cell, path, &error)) {
        fail(error);
        return false;
    }
    if (mPrintNames)
        mContext.out << path << "\n";
    return true;
}

void CommandOutput::fail(const std::string &message)
{
    mContext.err << message << "\n";
    mStatus = 1;
}

} // namespace rvk::cli
