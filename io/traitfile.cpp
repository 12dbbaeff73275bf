#include "io/traitfile.h"

#include "core/safefile.h"
#include "core/textformat.h"
#include "core/textlines.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace rvk {

namespace {

std::string_view trimBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// Tokens separated by blanks or tabs; a token that starts with a double quote runs to the
// closing quote and may hold blanks.
std::vector<std::string> tokens(std::string_view line)
{
    std::vector<std::string> result;
    size_t i = 0;
    while (true) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        if (i >= line.size())
            break;
        if (line[i] == '"') {
            const size_t closing = line.find('"', i + 1);
            const size_t end = closing == std::string_view::npos ? line.size() : closing;
            result.emplace_back(line.substr(i + 1, end - i - 1));
            i = end + 1;
            continue;
        }
        const size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        result.emplace_back(line.substr(start, i - start));
    }
    return result;
}

// A name or text as one token of the file: in double quotes when it holds a blank or a tab (or
// is empty), so that it reads back as one token ("Plant 1", "plant height").
std::string fileToken(const std::string &text)
{
    if (text.empty() || text.find_first_of(" \t") != std::string::npos)
        return '"' + text + '"';
    return text;
}

} // namespace

TraitFileContents TraitFileReader::readText(std::string_view text)
{
    TraitFileContents contents;
    std::vector<std::string_view> kept;
    for (std::string_view line : splitLines(text))
        if (!line.empty() && line.front() != ';' && !isBlankOnly(line))
            kept.push_back(line);

    const auto missLine = std::find_if(kept.begin(), kept.end(), [](std::string_view line) {
        return line.find("miss") != std::string_view::npos;
    });
    if (missLine == kept.end()) {
        contents.error = noMissLineMessage("");
        return contents;
    }
    std::string missing;
    if (const size_t equals = missLine->find('='); equals != std::string_view::npos) {
        const std::string_view value = trimBlanks(missLine->substr(equals + 1));
        if (!value.empty())
            missing = std::string(1, value.front());
    }

    const size_t namesIndex = static_cast<size_t>(missLine - kept.begin()) + 1;
    std::vector<std::string> names = namesIndex < kept.size() ? tokens(kept[namesIndex]) : std::vector<std::string>{};
    contents.rowCount = static_cast<int>(names.size());
    contents.traitNames.assign(names.begin() + std::min<size_t>(1, names.size()), names.end());
    contents.columns.push_back(std::move(names));

    for (size_t j = namesIndex + 1; j < kept.size(); ++j) {
        std::vector<std::string> column;
        for (std::string &token : tokens(kept[j])) {
            if (!missing.empty() && token == missing)
                column.emplace_back();
            else if (const std::optional<double> value = parseDecimal(token))
                column.push_back(formatText("%2.2f", {*value}));
            else
                column.emplace_back(trimBlanks(token));
        }
        contents.rowCount = std::max(contents.rowCount, static_cast<int>(column.size()));
        contents.columns.push_back(std::move(column));
    }
    // Every column as long as the longest one, so a record with more values than trait names
    // keeps them rather than losing them silently.
    for (auto &column : contents.columns)
        column.resize(static_cast<size_t>(contents.rowCount));
    return contents;
}

TraitFileContents TraitFileReader::readFile(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        TraitFileContents contents;
        contents.error = "Unable to read " + path;
        return contents;
    }
    std::ostringstream bytes;
    bytes << file.rdbuf();
    TraitFileContents contents = readText(bytes.str());
    if (!contents.ok() && contents.columns.empty())
        contents.error = noMissLineMessage(path);
    return contents;
}

std::string TraitFileWriter::fileText(const TraitExportInput &input)
{
    static const std::string Empty;
    const auto cell = [&input](int column, int row) -> const std::string & {
        return input.cell ? input.cell(column, row) : Empty;
    };
    // With no individual check list (trait data without genotypes) there are no ticks to filter
    // by: every record is written.
    const bool filtering = input.filtering && !input.checkListNames.empty();
    const int records = filtering ? static_cast<int>(input.checkListNames.size()) : std::max(0, input.columnCount - 1);
    const int traits = std::max(0, input.rowCount - 1);

    std::string body;
    int written = 0;
    for (int k = 0; k < records; ++k) {
        const bool ticked = static_cast<size_t>(k) < input.ticked.size() && input.ticked[static_cast<size_t>(k)];
        const bool selected = !filtering || ticked;
        if (!selected && !input.unselectedAsUnknown)
            continue;
        const std::string &name = filtering ? input.checkListNames[static_cast<size_t>(k)] : cell(k + 1, 0);
        int column = -1;
        for (int c = input.columnCount - 1; c >= 1; --c)
            if (cell(c, 0) == name) {
                column = c;
                break;
            }
        if (column < 0) {
            body += fileToken(name);
        } else {
            body += fileToken(cell(column, 0));
            for (int r = 1; r <= traits; ++r) {
                const std::string &value = cell(column, r);
                body += '\t';
                body += selected && !value.empty() ? fileToken(value) : std::string("*");
            }
        }
        body += "\r\n";
        ++written;
    }

    std::string text = filtering ? ";RVK derived qua file. Contains only a selection of trait data matching a RVK selection of genotypes"
                                 : ";RVK derived qua file";
    text += "\r\nnind=" + formatText("%d", {written});
    text += "\r\nntrt=" + formatText("%d", {traits});
    text += "\r\nmiss=*\r\n\r\ntraitnames";
    for (int r = 1; r <= traits; ++r)
        text += "\t" + fileToken(cell(0, r));
    text += "\r\n";
    return text + body;
}

std::string TraitFileWriter::outputPath(const std::string &chosenPath)
{
    return chosenPath.find('.') == std::string::npos ? chosenPath + ".qua" : chosenPath;
}

bool TraitFileWriter::write(const std::string &chosenPath, const TraitExportInput &input, std::string *error)
{
    return writeFileReplacing(outputPath(chosenPath), fileText(input), error);
}

} // namespace rvk
