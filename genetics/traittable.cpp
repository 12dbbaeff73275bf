#include "genetics/traittable.h"

#include "core/textformat.h"

#include <algorithm>
#include <unordered_map>

namespace rvk {

namespace {

const std::string EmptyCell;

} // namespace

// A copy without a final line end loses nothing.
std::vector<std::string_view> clipboardLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

namespace {

// The last column of each heading, so that matching many individuals costs one pass.
std::unordered_map<std::string, int> lastColumnsByName(const TraitTable &traits)
{
    std::unordered_map<std::string, int> columns;
    for (int c = 1; c < traits.columnCount(); ++c)
        columns[traits.cell(c, 0)] = c;
    return columns;
}

} // namespace

TraitTable TraitTable::startTemplate()
{
    TraitTable table(5, 5);
    table.setCell(1, 0, "Geno 1");
    table.setCell(2, 0, "Geno 2");
    table.setCell(3, 0, "etc..");
    table.setCell(0, 1, "Trait 1");
    table.setCell(0, 2, "Trait 2");
    table.setCell(0, 3, "etc..");
    return table;
}

TraitTable TraitTable::fromColumns(std::vector<std::vector<std::string>> columns, int rows)
{
    TraitTable table;
    table.mCells = std::move(columns);
    table.mColumns = static_cast<int>(table.mCells.size());
    table.resize(table.mColumns, rows);
    return table;
}

void TraitTable::resize(int columns, int rows)
{
    mColumns = std::max(0, columns);
    mRows = std::max(0, rows);
    mCells.resize(static_cast<size_t>(mColumns));
    for (auto &column : mCells)
        column.resize(static_cast<size_t>(mRows));
}

void TraitTable::clearCells()
{
    for (auto &column : mCells)
        for (auto &text : column)
            text.clear();
}

const std::string &TraitTable::cell(int column, int row) const
{
    if (column < 0 || row < 0 || column >= mColumns || row >= mRows)
        return EmptyCell;
    return mCells[static_cast<size_t>(column)][static_cast<size_t>(row)];
}

void TraitTable::setCell(int column, int row, std::string text)
{
    if (column < 0 || row < 0)
        return;
    if (column >= mColumns || row >= mRows)
        resize(std::max(mColumns, column + 1), std::max(mRows, row + 1));
    mCells[static_cast<size_t>(column)][static_cast<size_t>(row)] = std::move(text);
}

std::vector<std::string> TraitTable::traitNames() const
{
    std::vector<std::string> names;
    for (int r = 1; r < mRows; ++r)
        names.push_back(cell(0, r));
    return names;
}

std::optional<int> TraitTable::lastColumnNamed(std::string_view name) const
{
    for (int c = mColumns - 1; c >= 1; --c)
        if (cell(c, 0) == name)
            return c;
    return std::nullopt;
}

void TraitTable::transpose()
{
    const int n = std::max(mColumns, mRows);
    const int oldColumns = mColumns;
    const int oldRows = mRows;
    resize(n, n);
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < r; ++c)
            std::swap(mCells[static_cast<size_t>(c)][static_cast<size_t>(r)], mCells[static_cast<size_t>(r)][static_cast<size_t>(c)]);
    resize(oldRows, oldColumns);
}

std::string storedFieldText(std::string_view field)
{
    if (const std::optional<double> value = parseDecimal(field))
        return formatText("%2.2f", {*value});
    return std::string(field);
}

std::string editedCellText(int column, int row, std::string_view typed)
{
    if (column < 1 || row < 1)
        return std::string(typed);
    std::string_view trimmed = typed;
    while (!trimmed.empty() && (trimmed.front() == ' ' || trimmed.front() == '\t'))
        trimmed.remove_prefix(1);
    while (!trimmed.empty() && (trimmed.back() == ' ' || trimmed.back() == '\t'))
        trimmed.remove_suffix(1);
    if (parseDecimal(trimmed))
        return storedFieldText(trimmed);
    return std::string(typed);
}

void pasteTable(TraitTable &table, std::string_view clipboardText, int firstRowGap)
{
    const std::vector<std::string_view> lines = clipboardLines(clipboardText);
    table.clear();
    int columns = 0;
    for (size_t k = 0; k < lines.size(); ++k) {
        const int row = k == 0 ? 0 : static_cast<int>(k) + firstRowGap;
        std::string_view line = lines[k];
        int field = 0;
        while (true) {
            const size_t tab = line.find('\t');
            const std::string_view text = line.substr(0, tab);
            table.setCell(field, row, field == 0 ? std::string(text) : storedFieldText(text));
            if (tab == std::string_view::npos)
                break;
            line.remove_prefix(tab + 1);
            ++field;
        }
        columns = field + 1;
    }
    const int rows = lines.empty() ? 0 : static_cast<int>(lines.size()) + (lines.size() > 1 ? firstRowGap : 0);
    table.resize(columns, rows);
}

TraitTable buildSyncTable(const TraitTable &traits, const std::vector<std::string> &individualNames)
{
    TraitTable sync(static_cast<int>(individualNames.size()), traits.rowCount());
    for (int r = 1; r < traits.rowCount(); ++r)
        sync.setCell(0, r, traits.cell(0, r));
    const auto columns = lastColumnsByName(traits);
    for (size_t c = 1; c < individualNames.size(); ++c) {
        const std::string &name = individualNames[c];
        sync.setCell(static_cast<int>(c), 0, name);
        if (name.empty())
            continue;
        const auto found = columns.find(name);
        if (found == columns.end())
            continue;
        for (int r = 1; r < traits.rowCount(); ++r)
            sync.setCell(static_cast<int>(c), r, traits.cell(found->second, r));
    }
    return sync;
}

std::vector<std::string> traitSortKeyEntries(const TraitTable &traits, int row, const std::vector<std::string> &individualNames)
{
    std::vector<std::string> entries;
    entries.reserve(individualNames.size() + 1);
    const auto columns = lastColumnsByName(traits);
    for (const std::string &name : individualNames) {
        const auto found = columns.find(name);
        if (found == columns.end()) {
            entries.emplace_back();
            continue;
        }
        const std::string &text = traits.cell(found->second, row);
        const std::optional<double> value = parseDecimal(text);
        entries.push_back(value ? formatText("%5.1f", {*value}) : text);
    }
    entries.push_back(traits.cell(0, row));
    return entries;
}

namespace {

// The range of the trait over the data set's individuals (their last trait columns).
void findRange(const TraitTable &traits, int row, const std::vector<std::string> &individualNames, TraitHistogram &histogram)
{
    double low = 2147483647.0;
    double high = -2147483647.0;
    const auto columns = lastColumnsByName(traits);
    for (const std::string &name : individualNames) {
        const auto found = columns.find(name);
        if (found == columns.end())
            continue;
        if (const std::optional<double> value = parseDecimal(traits.cell(found->second, row))) {
            low = std::min(low, *value);
            high = std::max(high, *value);
            histogram.hasValues = true;
        }
    }
    histogram.minimum = histogram.hasValues ? low : 0.0;
    histogram.maximum = histogram.hasValues ? high : 0.0;
}

int barOf(double value, const TraitHistogram &histogram, int bars)
{
    const double width = histogram.maximum - histogram.minimum;
    if (width <= 0.0)
        return 0;
    const long long bar = roundHalfEven((value - histogram.minimum) / width * (bars - 1));
    return static_cast<int>(std::clamp<long long>(bar, 0, bars - 1));
}

} // namespace

TraitHistogram quickTraitHistogram(const TraitTable &traits, int row, const std::vector<std::string> &individualNames)
{
    constexpr int Bars = 10;
    TraitHistogram histogram;
    histogram.title = "Trait histogram " + traits.cell(0, row);
    findRange(traits, row, individualNames, histogram);
    histogram.counts.assign(Bars, 0);
    for (int k = 0; k < Bars; ++k)
        histogram.labels.push_back(formatText("%.2f", {histogram.minimum + (histogram.maximum - histogram.minimum) * k / 10.0}));
    if (!histogram.hasValues)
        return histogram;
    for (int c = 1; c < traits.columnCount(); ++c)
        if (const std::optional<double> value = parseDecimal(traits.cell(c, row)))
            ++histogram.counts[static_cast<size_t>(barOf(*value, histogram, Bars))];
    return histogram;
}

TraitHistogram selectedTraitHistogram(const TraitTable &traits, int row, const std::vector<std::string> &individualNames,
                                      const std::vector<bool> &selected, int bars)
{
    bars = std::max(2, bars);
    TraitHistogram histogram;
    histogram.title = "Trait histogram " + traits.cell(0, row);
    findRange(traits, row, individualNames, histogram);
    histogram.counts.assign(static_cast<size_t>(bars), 0);
    for (int k = 0; k < bars; ++k)
        histogram.labels.push_back(
            formatText("%.2f", {histogram.minimum + (histogram.maximum - histogram.minimum) * k / (bars - 1)}));
    if (!histogram.hasValues)
        return histogram;
    const auto columns = lastColumnsByName(traits);
    for (size_t i = 0; i < individualNames.size(); ++i) {
        if (i >= selected.size() || !selected[i])
            continue;
        const auto found = columns.find(individualNames[i]);
        if (found == columns.end())
            continue;
        if (const std::optional<double> value = parseDecimal(traits.cell(found->second, row)))
            ++histogram.counts[static_cast<size_t>(barOf(*value, histogram, bars))];
    }
    return histogram;
}

} // namespace rvk
