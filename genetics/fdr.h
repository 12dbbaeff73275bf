#pragma once
// The two-stage false-discovery-rate procedure shared by the LD analyses and the marker-trait
// association: q-values of a list of p-values and the p threshold at a chosen FDR level.

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <vector>

namespace rvk {

struct FdrResult
{
    std::vector<double> q;  // q-value of each p-value, at its input position
    double PThreshold = 0.0; // largest p(i) passing stage 2; 0 when none does
    std::size_t r1 = 0;     // ranks passing stage 1
    std::size_t m0 = 0;     // m - r1
    double L2 = 0.0;        // stage-2 level
};

// The procedure over p at FDR level (q): stage 1 counts every rank i (1-based, p ascending) with
// p(i) < level * i / m; with m0 = m - r1 the stage-2 level is level / (1 + level) * m / m0 (or
// level / (1 + level) when m0 = 0); the threshold is the largest p(i) < L2 * i / m. q-values are
// m0 * p(i) / i made monotone from the largest rank down, the largest capped at 1.
FdrResult FdrAdjust(const std::vector<double> &p, double level);

// The stages alone, for p-values already sorted ascending (an analysis that needs no q-values
// and cannot afford a second copy of a long list). Fills r1, m0, L2 and PThreshold.
FdrResult FdrThresholdOfSorted(const double *sortedP, std::size_t m, double level);
// The same with p(i) = sortedP(i - 1), i = 1..m, for p-values kept inside records of their own.
template <typename At> FdrResult FdrThresholdOfSorted(std::size_t m, double level, const At &sortedP);

// The FDR level of the association page's "qthreshold" text: the number when it parses and
// lies strictly between 0 and 1, else 0.05.
double FdrLevel(std::string_view qthresholdText);
inline constexpr double DefaultFdrLevel = 0.05;

template <typename At> FdrResult FdrThresholdOfSorted(std::size_t m, double level, const At &sortedP)
{
    FdrResult result;
    if (m == 0)
        return result;
    const double md = static_cast<double>(m);
    for (std::size_t i = 1; i <= m; ++i)
        if (sortedP(i - 1) < level * static_cast<double>(i) / md)
            ++result.r1;
    result.m0 = m - result.r1;
    const double levelPrime = level / (1.0 + level);
    result.L2 = result.m0 >= 1 ? levelPrime * md / static_cast<double>(result.m0) : levelPrime;
    for (std::size_t i = 1; i <= m; ++i) {
        const double p = sortedP(i - 1);
        if (p < result.L2 * static_cast<double>(i) / md)
            result.PThreshold = std::max(result.PThreshold, p);
    }
    return result;
}

} // namespace rvk
