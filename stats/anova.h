#pragma once
// The one-way analysis of variance of a trait over the levels (allele codes) of a marker, with
// tests for homogeneity of variance and Bonferroni comparisons between the levels, and its
// fixed-width report.

#include <string>
#include <vector>

namespace rvk {

class UserInterface;

struct AnovaLevel
{
    int code = 0; // the level's code number (character code - 41, 0 for '0')
    int n = 0;
    double sum = 0.0;
    double sumSquares = 0.0;
    double mean = 0.0;
    double variance = 0.0; // for n > 1; 0 otherwise
};

struct OneWayAnovaResult
{
    // Every level slot from the smallest to the largest code of the marker (K slots), empty
    // levels included.
    std::vector<AnovaLevel> levels;
    int levelsWithData = 0; // k
    int N = 0;
    double dfB = 0, SSB = 0, MSB = 0, F = 0, p = 1, omegaSquared = 0;
    // -log10 p, from the logarithm of the tail: finite also where p is too small for a double.
    double minusLog10P = 0;
    double dfW = 0, SSW = 0, MSW = 0;
    double dfT = 0, SST = 0, MST = 0;
    double grandMean = 0;
    // Whether the F test could be made; otherwise note says why (no p-value for the tables).
    bool tested = false;
    std::string note;
};

class OneWayAnova
{
public:
    static constexpr double PostHocAlpha = 0.05; // "Alpha Level for Post-Hoc Tests:"
    static constexpr double BonferroniGate = 0.05;

    // codes[i] is the level code of individual i, or a negative number when it has none;
    // values[i] its trait value, used only when hasValue[i].
    static OneWayAnovaResult run(const std::vector<int> &codes, const std::vector<double> &values, const std::vector<char> &hasValue,
                                 UserInterface *ui = nullptr);

    // Appends the report lines, each ended by "\n", to out.
    static void appendReport(const OneWayAnovaResult &result, const std::string &traitName, const std::string &markerLabel,
                             std::string &out, UserInterface *ui = nullptr);

    // The character a level code stands for: code + 41, '0' for 0.
    static char levelCharacter(int code) { return code == 0 ? '0' : static_cast<char>(code + 41); }
};

} // namespace rvk
