#include "genetics/traitdistance.h"

#include "core/textformat.h"

#include <algorithm>
#include <cmath>

namespace rvk {

namespace {

// A trait cell: empty, a number, or a text that stops the computation when a pair needs it.
struct TraitValue
{
    enum class Kind : unsigned char { Empty, Number, Invalid } kind = Kind::Empty;
    double number = 0.0;
};

TraitValue valueOf(const std::string &text)
{
    if (text.empty())
        return {};
    if (const auto number = parseDecimal(text))
        return {TraitValue::Kind::Number, *number};
    return {TraitValue::Kind::Invalid, 0.0};
}

std::string notAFloat(const std::string &text) { return "'" + text + "' is not a valid floating point value"; }

} // namespace

TraitDistanceOutcome computeTraitDistances(const TraitTable &table, const std::vector<bool> &ticked, TraitDistanceEntries entries)
{
    const int individuals = std::max(0, table.columnCount() - 1);
    std::vector<int> rows; // the table rows of the ticked traits
    for (int k = 0; k < table.traitCount(); ++k)
        if (static_cast<size_t>(k) < ticked.size() && ticked[static_cast<size_t>(k)])
            rows.push_back(k + 1);

    // The values, one row per trait used, read once.
    std::vector<std::vector<TraitValue>> values(rows.size(), std::vector<TraitValue>(static_cast<size_t>(individuals)));
    for (size_t t = 0; t < rows.size(); ++t)
        for (int c = 1; c <= individuals; ++c)
            values[t][static_cast<size_t>(c - 1)] = valueOf(table.cell(c, rows[t]));

    std::vector<std::string> labels;
    if (entries == TraitDistanceEntries::Genotypes)
        for (int c = 1; c <= individuals; ++c)
            labels.push_back(table.cell(c, 0));
    else
        for (int row : rows)
            labels.push_back(table.cell(0, row));

    TraitDistanceOutcome outcome{DistanceMatrix(labels, 1), {}};
    const int n = static_cast<int>(labels.size());
    // Entry x of a pair is an individual (a column of values) or a trait (a row of values).
    const int positions = entries == TraitDistanceEntries::Genotypes ? static_cast<int>(rows.size()) : individuals;
    auto at = [&](int entry, int position) -> const TraitValue & {
        return entries == TraitDistanceEntries::Genotypes ? values[static_cast<size_t>(position)][static_cast<size_t>(entry)]
                                                          : values[static_cast<size_t>(entry)][static_cast<size_t>(position)];
    };
    auto textAt = [&](int entry, int position) {
        return entries == TraitDistanceEntries::Genotypes ? table.cell(entry + 1, rows[static_cast<size_t>(position)])
                                                          : table.cell(position + 1, rows[static_cast<size_t>(entry)]);
    };
    for (int i = 0; i < n; ++i) {
        for (int j = i + 1; j < n; ++j) {
            double q = 0.0;
            for (int k = 0; k < positions; ++k) {
                const TraitValue &x = at(i, k), &y = at(j, k);
                // A pair with an empty cell is skipped before anything is converted, so a text
                // beside an empty cell stops nothing.
                if (x.kind == TraitValue::Kind::Empty || y.kind == TraitValue::Kind::Empty)
                    continue;
                if (x.kind == TraitValue::Kind::Invalid || y.kind == TraitValue::Kind::Invalid) {
                    outcome.error = notAFloat(x.kind == TraitValue::Kind::Invalid ? textAt(i, k) : textAt(j, k));
                    return outcome;
                }
                q += (x.number - y.number) * (x.number - y.number);
            }
            outcome.matrix.setValue(i, j, std::sqrt(q));
        }
    }
    return outcome;
}

} // namespace rvk
