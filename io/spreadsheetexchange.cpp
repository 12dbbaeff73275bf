#include "io/spreadsheetexchange.h"

#include "core/datafilewriter.h"
#include "core/genotypecodes.h"
#include "core/phases.h"
#include "core/textformat.h"
#include "core/textlines.h"
#include "io/spreadsheetreader.h"
#include "io/spreadsheetwriter.h"
#include "settings/alleletable.h"

#include <algorithm>
#include <filesystem>

namespace rvk {

namespace {

// A "nind" row beyond this is refused as a typing error.
constexpr int MaxImportedIndividuals = 1'000'000;

// Letters run from "A" (65) to "z" (122): one row can be recoded into at most this many texts.
constexpr size_t MaxRecodedTexts = 'z' - 'A' + 1;

std::string trimmed(std::string_view text)
{
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
        text.remove_suffix(1);
    return std::string(text);
}

bool isHeaderRow(const std::string &lowerFirstCell)
{
    for (const char *key : {"nind", "popt", "alias", "name", "alternativelayout"})
        if (lowerFirstCell.find(key) != std::string::npos)
            return true;
    return false;
}

bool rowIsEmpty(const TextGrid &grid, int row)
{
    for (int c = 0; c < grid.columnCount(); ++c)
        if (!trimmed(grid.cell(c, row)).empty())
            return false;
    return true;
}

} // namespace

SpreadsheetExchange::SpreadsheetExchange(UserInterface &ui) : mUi(ui) {}

void SpreadsheetExchange::setRightClickCell(int column, int row)
{
    mClickColumn = std::max(column, 0);
    mClickRow = std::max(row, 0);
}

std::string SpreadsheetExchange::alleleCountMessage(const std::string &name, size_t length, int nind)
{
    return name + " number of alleles (" + std::to_string(length) + ") does not seem to match other loci (" + std::to_string(nind) + ") !";
}

std::string SpreadsheetExchange::headerValue(const TextGrid &grid, int row)
{
    const std::string &first = grid.cell(0, row);
    const size_t equals = first.find('=');
    std::string value = equals == std::string::npos ? std::string() : trimmed(std::string_view(first).substr(equals + 1));
    if (value.empty())
        value = trimmed(grid.cell(1, row));
    return value;
}

SpreadsheetExchange::Layout SpreadsheetExchange::findLayout(const TextGrid &grid)
{
    Layout layout;
    for (int r = 0; r < grid.rowCount(); ++r) {
        for (int c : {2, 3}) {
            const std::string &cell = grid.cell(c, r);
            if (cell.find('<') != std::string::npos && cell.find('>') != std::string::npos)
                layout.segTypeColumn = c;
        }
        for (int c : {2, 3})
            if (grid.cell(c, r).find('{') != std::string::npos)
                layout.phaseColumn = c;
        const std::string first = toLower(grid.cell(0, r));
        if (first.find("alternativelayout") != std::string::npos) {
            const std::string value = toLower(headerValue(grid, r));
            if (value == "true" || value == "1" || value == "yes")
                layout.alternative = true;
        }
    }
    layout.firstGenotypeColumn = 2 + (layout.segTypeColumn >= 0 ? 1 : 0) + (layout.phaseColumn >= 0 ? 1 : 0)
                               + (layout.alternative ? 1 : 0);
    return layout;
}

void SpreadsheetExchange::enableAfterData()
{
    mDataPasted = true;
    mImportEnabled = true;
    mRecodeEnabled = true;
}

void SpreadsheetExchange::paste(const std::string &clipboardText)
{
    const int column = mClickColumn;
    int row = mClickRow;
    mGrid.ensureSize(mGrid.columnCount(), row);
    const std::string &text = clipboardText;
    size_t at = 0;
    while (at < text.size()) {
        // Lines end in CR LF on Windows, LF elsewhere; a last line without an end counts too.
        const size_t end = text.find_first_of("\r\n", at);
        std::string_view line(text.data() + at, (end == std::string::npos ? text.size() : end) - at);
        if (end == std::string::npos) {
            at = text.size();
        } else {
            at = end + 1;
            if (text[end] == '\r' && at < text.size() && text[at] == '\n')
                ++at;
        }
        if (row >= mGrid.rowCount() - 1)
            mGrid.ensureSize(mGrid.columnCount(), row + 2);
        const int tabs = static_cast<int>(std::count(line.begin(), line.end(), '\t'));
        mGrid.ensureSize(column + tabs + 1, mGrid.rowCount());
        int k = 0;
        for (;;) {
            const size_t tab = line.find('\t');
            const std::string field(line.substr(0, tab));
            const auto number = parseDecimal(field);
            mGrid.setCell(column + k, row, number ? formatText("%2.1f", {*number}) : field);
            if (tab == std::string_view::npos)
                break;
            line.remove_prefix(tab + 1);
            ++k;
        }
        ++row;
    }
    enableAfterData();
}

void SpreadsheetExchange::clear()
{
    mGrid.clear(5, 5);
    mImportEnabled = false;
    mRecodeEnabled = false;
}

std::string SpreadsheetExchange::deleteRowQuestion() const
{
    return "Are you sure you want to delete the selected row [" + mGrid.cell(mClickColumn, mClickRow) + "] ";
}

bool SpreadsheetExchange::DeleteThisRow()
{
    if (mClickRow >= mGrid.rowCount() || !mUi.question(UserInterface::MessageKind::Warning, deleteRowQuestion()))
        return false;
    mGrid.removeRow(mClickRow);
    return true;
}

bool SpreadsheetExchange::OpenExcelFile()
{
    const auto paths = mUi.openFileNames("Open Excel File", OpenFilter, {}, false);
    return !paths.empty() && openFile(paths.front());
}

bool SpreadsheetExchange::openFile(const std::string &path)
{
    std::string error;
    auto grid = SpreadsheetReader::read(path, &error);
    if (!grid) {
        mUi.warning(error);
        return false;
    }
    mGrid = std::move(*grid);
    mCaptionPath = path;
    enableAfterData();
    return true;
}

std::string SpreadsheetExchange::SaveExcelFile()
{
    const std::string chosen = mUi.saveFileName("Save Excel File", SaveFilter, {});
    return chosen.empty() ? std::string() : saveFile(chosen);
}

std::string SpreadsheetExchange::saveFile(const std::string &chosenPath)
{
    std::string path = chosenPath;
    if (std::filesystem::path(path).extension().empty())
        path += ".xls";
    std::string error;
    if (!WriteGridAsSpreadsheet(mGrid, path, &error)) {
        mUi.error(error);
        return {};
    }
    mUi.information(savedMessage(path));
    return path;
}

void SpreadsheetExchange::Recode()
{
    if (!mDataPasted)
        return;
    recode(mUi.question(recodeQuestion()));
}

std::string SpreadsheetExchange::recode(bool sortByFrequency)
{
    if (!mDataPasted)
        return {};
    Layout layout = findLayout(mGrid);
    // Here any "alternativelayout" row moves the genotype columns, whatever its value.
    int first = layout.firstGenotypeColumn - (layout.alternative ? 1 : 0);
    for (int r = 0; r < mGrid.rowCount(); ++r)
        if (toLower(mGrid.cell(0, r)).find("alternativelayout") != std::string::npos) {
            ++first;
            break;
        }
    const std::string missing = trimmed(missingDataCode);
    const auto missingNumber = parseDecimal(missing);
    // A pasted number carries one decimal ("0" became "0.0"), so a numeric code matches by value.
    auto isMissing = [&](const std::string &text) {
        if (missing.empty())
            return false;
        if (text == missing)
            return true;
        const auto number = parseDecimal(text);
        return missingNumber && number && *number == *missingNumber;
    };
    std::string log;
    std::vector<std::string> refused;
    const int rows = mGrid.rowCount();
    for (int r = 2; r < rows; ++r) {
        mUi.setProgress(r, rows);
        struct Text
        {
            std::string text;
            int count;
        };
        std::vector<Text> texts;
        for (int c = first; c < mGrid.columnCount(); ++c) {
            const std::string text = trimmed(mGrid.cell(c, r));
            if (text.empty())
                continue;
            auto found = std::find_if(texts.begin(), texts.end(), [&](const Text &t) { return t.text == text; });
            if (found == texts.end())
                texts.push_back({text, 1});
            else
                ++found->count;
        }
        if (texts.empty())
            continue;
        if (texts.size() > MaxRecodedTexts) {
            refused.push_back(mGrid.cell(0, r));
            continue;
        }
        if (sortByFrequency)
            std::stable_sort(texts.begin(), texts.end(), [](const Text &a, const Text &b) { return a.count > b.count; });
        std::vector<std::string> letters;
        std::string line = mGrid.cell(0, r) + ":\t";
        for (size_t k = 0; k < texts.size(); ++k) {
            const std::string letter = isMissing(texts[k].text) ? "." : std::string(1, static_cast<char>('A' + k));
            letters.push_back(letter);
            line += texts[k].text + "=" + letter + "\t";
        }
        log += line + "\n";
        for (int c = first; c < mGrid.columnCount(); ++c) {
            const std::string text = trimmed(mGrid.cell(c, r));
            if (text.empty())
                continue;
            for (size_t k = 0; k < texts.size(); ++k)
                if (texts[k].text == text) {
                    mGrid.setCell(c, r, letters[k]);
                    break;
                }
        }
    }
    mUi.setProgress(0, 0);
    if (!refused.empty()) {
        std::string text = "These rows hold more than " + std::to_string(MaxRecodedTexts)
                         + " different texts, more than there are code letters, and were not recoded:";
        for (const std::string &name : refused)
            text += "\r" + name;
        mUi.warning(text);
    }
    mRecodeLog = log;
    return log;
}

bool SpreadsheetExchange::saveRecodeLog(const std::string &path)
{
    return writeFileReplacing(path, mRecodeLog, mUi);
}

bool SpreadsheetExchange::ImportIntoRvk(GenotypeData &data, AlleleTable &alleles)
{
    if (!mDataPasted) {
        mUi.information(NothingLoadedMessage);
        return false;
    }
    mUi.setBusy(true);
    struct BusyEnd
    {
        UserInterface &ui;
        ~BusyEnd() { ui.setBusy(false); }
    } busyEnd{mUi};

    const Layout layout = findLayout(mGrid);
    const int d = layout.firstGenotypeColumn;
    const int rows = mGrid.rowCount();
    int headerNind = -1;
    std::string popt = data.popt;
    bool namesGiven = false;
    int aliasRow = -1;
    std::vector<std::string> names;
    std::vector<int> starts;
    for (int r = 0; r < rows; ++r) {
        const std::string first = toLower(mGrid.cell(0, r));
        if (first.find("alternativelayout") != std::string::npos)
            continue;
        if (first.find("alias") != std::string::npos) {
            namesGiven = true;
            aliasRow = r;
            names.clear();
            for (int c = d; c < mGrid.columnCount(); ++c)
                if (!mGrid.cell(c, r).empty())
                    names.push_back(mGrid.cell(c, r));
            for (int next = r + 1; next < rows && !mGrid.cell(d, next).empty(); ++next)
                for (int c = 2; c < mGrid.columnCount(); ++c)
                    if (!mGrid.cell(c, next).empty())
                        names.push_back(mGrid.cell(c, next));
        } else if (first.find("nind") != std::string::npos) {
            if (const auto value = parseInteger(headerValue(mGrid, r))) {
                // Every individual gets a name at once: a few digits too many must not make the
                // import take gigabytes.
                if (*value < 0 || *value > MaxImportedIndividuals) {
                    mUi.warning("The grid's nind row says " + std::to_string(*value) + "; RVK reads at most "
                                + std::to_string(MaxImportedIndividuals) + " individuals");
                    return false;
                }
                headerNind = static_cast<int>(*value);
            }
        } else if (first.find("popt") != std::string::npos) {
            const std::string value = toLower(headerValue(mGrid, r));
            if (!value.empty())
                popt = value;
        } else if (first.find("name") != std::string::npos && !layout.alternative) {
            starts.push_back(r);
        }
    }
    if (layout.alternative) {
        std::string previous;
        for (int r = 3; r < rows; ++r) {
            // Rows without any text (the spare row a paste leaves) are no loci.
            if (rowIsEmpty(mGrid, r))
                continue;
            const std::string group = toLower(trimmed(mGrid.cell(1, r)));
            if (starts.empty() || group != previous)
                starts.push_back(r);
            previous = group;
        }
    }
    if (starts.empty()) {
        mUi.warning("No linkage group found in the grid: a row \"name=\" (or, in the alternative layout, a group "
                    "name in column 1) starts each group.");
        return false;
    }

    const bool crossPollinator = popt == "cp";
    const int width = crossPollinator ? 2 : 1;
    // Codes per locus: from the "nind" row (the number of individuals, as the grid form writes
    // it), else from the first locus.
    int codesPerLocus = headerNind >= 0 ? headerNind * width : -1;
    // The genotype cells end at the last column that holds text in some locus row: spare empty
    // columns of the grid add no codes.
    int lastColumn = d;
    for (int r = starts.front(); r < rows; ++r)
        for (int c = mGrid.columnCount() - 1; c >= lastColumn; --c)
            if (!trimmed(mGrid.cell(c, r)).empty()) {
                lastColumn = c + 1;
                break;
            }
    // An individual whose cells are empty at every locus (a failed sample) still has its column:
    // the alias row and the "nind" row say how many individuals there are.
    if (aliasRow >= 0)
        for (int c = mGrid.columnCount() - 1; c >= lastColumn; --c)
            if (!trimmed(mGrid.cell(c, aliasRow)).empty()) {
                lastColumn = c + 1;
                break;
            }
    if (namesGiven)
        lastColumn = std::max(lastColumn, d + static_cast<int>(names.size()));
    if (headerNind > 0)
        lastColumn = std::max(lastColumn, d + headerNind);
    const std::string emptyCode(static_cast<size_t>(width), '.');
    auto appendCodes = [&](int row, std::string &codes) {
        for (int c = d; c < lastColumn; ++c) {
            const std::string cell = trimmed(mGrid.cell(c, row));
            codes += cell.empty() ? emptyCode : cell;
        }
    };

    CodeSet used;
    std::vector<LinkageGroup> groups;
    for (size_t g = 0; g < starts.size(); ++g) {
        const int begin = starts[g];
        const int end = g + 1 < starts.size() ? starts[g + 1] : rows; // exclusive
        LinkageGroup group;
        group.PopType = popt;
        group.Name = layout.alternative ? trimmed(mGrid.cell(1, begin)) : headerValue(mGrid, begin);
        int running = 0;
        for (int r = layout.alternative ? begin : begin + 1; r < end; ++r) {
            const std::string first = trimmed(mGrid.cell(0, r));
            if (layout.alternative) {
                if (rowIsEmpty(mGrid, r))
                    continue;
            } else if (first.empty() || first.find("nloc") != std::string::npos || first.front() == ';'
                       || isHeaderRow(toLower(first))) {
                continue;
            }
            Tlocinfo locus;
            locus.Name = first;
            const auto position = parseDecimal(trimmed(mGrid.cell(layout.alternative ? 2 : 1, r)));
            locus.Position = imputeMapPositions ? running : position.value_or(0.0);
            ++running;
            if (layout.phaseColumn >= 0)
                locus.setPhase(trimmed(mGrid.cell(layout.phaseColumn, r)));
            if (layout.segTypeColumn >= 0)
                locus.setSegType(toLower(trimmed(mGrid.cell(layout.segTypeColumn, r))));
            std::string codes;
            appendCodes(r, codes);
            // Rows with an empty first cell continue the locus, except the group's last row.
            if (!layout.alternative)
                while (r + 1 < end - 1 && trimmed(mGrid.cell(0, r + 1)).empty()) {
                    ++r;
                    appendCodes(r, codes);
                }
            for (char &c : codes)
                if (!isGenotypeCode(c))
                    c = UnknownCode;
            if (codesPerLocus < 0)
                codesPerLocus = static_cast<int>(codes.size());
            if (static_cast<int>(codes.size()) != codesPerLocus) {
                mUi.warning(alleleCountMessage(locus.Name, codes.size(), codesPerLocus));
                // The locus stays, filled up with "." or cut, so every locus has a code for
                // every individual.
                codes.resize(static_cast<size_t>(codesPerLocus), '.');
            }
            markCodes(codes, used);
            locus.Genotypes = std::move(codes);
            group.Loci.push_back(std::move(locus));
        }
        if (crossPollinator && !group.Loci.empty()) {
            // Only three types give the first locus a phase of its own here.
            Tlocinfo &firstLocus = group.Loci.front();
            const bool keepsEmpty = firstLocus.Phase.empty() && firstLocus.SegType != "<abxaa>"
                                 && firstLocus.SegType != "<aaxab>" && firstLocus.SegType != "<abxab>";
            CompletePhases(group.Loci, popt);
            if (keepsEmpty)
                firstLocus.Phase.clear();
        }
        groups.push_back(std::move(group));
    }

    data.LinkageGroups.clear();
    for (LinkageGroup &group : groups) {
        data.CurrentGroupName = group.Name;
        data.nloc = static_cast<int>(group.Loci.size());
        data.AppendGroup(std::move(group));
    }
    data.popt = popt;
    data.nind = std::max(codesPerLocus, 0) / width;
    if (namesGiven)
        data.IndividualNames = names;
    if (static_cast<int>(data.IndividualNames.size()) != data.nind) {
        data.IndividualNames.clear();
        for (int i = 1; i <= data.nind; ++i)
            data.IndividualNames.push_back(std::to_string(i));
    }
    data.IndividualNumbers.clear();
    for (int i = 1; i <= data.nind; ++i)
        data.IndividualNumbers.push_back(i);
    data.TickAll();
    data.DataLoaded = true;
    data.MarkerGridStale = true;
    data.LastIndividual = data.nind;
    data.CurrentIndividual = 1;
    alleles.markUsed(used);
    return true;
}

void SpreadsheetExchange::fillFromDataSet(const GenotypeData &data, const std::string &date)
{
    if (data.GroupCount() == 0)
        return;
    const bool crossPollinator = data.IsCrossPollinator();
    const int firstCodeColumn = crossPollinator ? 4 : 2;
    int rows = 6;
    for (int k = 0; k < data.GroupCount(); ++k)
        rows += 2 + data.GroupLocusCount(k);
    mGrid.clear(data.nind + firstCodeColumn, rows);
    mGrid.setCell(0, 0, "alias");
    for (int i = 0; i < data.nind && static_cast<size_t>(i) < data.IndividualNames.size(); ++i)
        mGrid.setCell(firstCodeColumn + i, 0, data.IndividualNames[static_cast<size_t>(i)]);
    mGrid.setCell(0, 1, "popt");
    mGrid.setCell(1, 1, data.popt);
    mGrid.setCell(0, 2, "nchrom");
    mGrid.setCell(1, 2, std::to_string(data.GroupCount()));
    mGrid.setCell(0, 3, "nind");
    mGrid.setCell(1, 3, std::to_string(data.nind));
    mGrid.setCell(0, 4, ";autoformatted RVK datafile - " + date);
    mGrid.setCell(0, 5, ";LOCUS");
    mGrid.setCell(1, 5, "POS");
    int row = 6;
    for (int k = 0; k < data.GroupCount(); ++k) {
        ++row; // the empty row between groups
        mGrid.setCell(0, row++, "name=" + data.GroupName(k));
        for (const Tlocinfo &locus : data.GroupLoci(k)) {
            mGrid.setCell(0, row, locus.Name);
            mGrid.setCell(1, row, formatText("%2.2f", {locus.Position}));
            if (crossPollinator) {
                mGrid.setCell(2, row, locus.SegType);
                mGrid.setCell(3, row, locus.Phase);
            }
            mGrid.setCells(firstCodeColumn, row, locus.Genotypes, crossPollinator ? 2 : 1);
            ++row;
        }
    }
    // The grid holds data now: it can be recoded and imported back.
    enableAfterData();
}

} // namespace rvk
