#include "genetics/distancematrix.h"

#include "core/textformat.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace rvk {

const char *coefficientCaption(DistanceCoefficient coefficient)
{
    switch (coefficient) {
    case DistanceCoefficient::AlleleSharing:
        return "Allele sharing/SM";
    case DistanceCoefficient::Jaccard:
        return "Jaccard";
    case DistanceCoefficient::Euclidean:
        return "Euclidean";
    }
    return "";
}

DistanceMatrix::DistanceMatrix(std::vector<std::string> labels, int decimals)
    : mLabels(std::move(labels)), mDecimals(decimals)
{
    const size_t n = mLabels.size();
    mValues.assign(n < 2 ? 0 : n * (n - 1) / 2, std::numeric_limits<double>::quiet_NaN());
}

bool DistanceMatrix::hasValue(int i, int j) const { return !std::isnan(mValues[index(i, j)]); }

void DistanceMatrix::setValue(int i, int j, double value) { mValues[index(i, j)] = roundAsShown(value, mDecimals); }

void DistanceMatrix::clearValue(int i, int j) { mValues[index(i, j)] = std::numeric_limits<double>::quiet_NaN(); }

bool DistanceMatrix::complete() const { return emptyCount() == 0; }

size_t DistanceMatrix::emptyCount() const
{
    return static_cast<size_t>(std::count_if(mValues.begin(), mValues.end(), [](double v) { return std::isnan(v); }));
}

std::string DistanceMatrix::cellText(int column, int row) const
{
    if (row == 0 && column == 0)
        return {};
    if (row == 0)
        return mLabels[static_cast<size_t>(column - 1)];
    if (column == 0)
        return mLabels[static_cast<size_t>(row - 1)];
    if (column >= row)
        return {};
    const double v = value(column - 1, row - 1);
    return std::isnan(v) ? std::string() : formatValue(v, mDecimals);
}

std::string DistanceMatrix::formatValue(double value, int decimals)
{
    return formatText(decimals == 1 ? "%2.1f" : "%2.2f", {value});
}

double DistanceMatrix::roundAsShown(double value, int decimals)
{
    if (std::isnan(value))
        return value;
    // The text rounds the exact binary value; only a value within a hair of a half needs the
    // text itself to decide, every other one rounds the same way here, much faster.
    const double scale = decimals == 1 ? 10.0 : 100.0;
    const double scaled = value * scale;
    const double nearest = std::floor(scaled + 0.5);
    if (std::fabs(scaled - (nearest - 0.5)) < 1e-6 || std::fabs(scaled) > 1e15)
        return parseDecimal(formatValue(value, decimals)).value_or(value);
    const double rounded = nearest / scale;
    return rounded == 0.0 ? 0.0 : rounded; // no "-0.00"
}

} // namespace rvk
