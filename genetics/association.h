#pragma once
// Marker-trait association: the correlation of every marker with every trait over the
// individuals present in both tables, p-values with n - 2 degrees of freedom, q-values of the
// two-stage FDR procedure per trait, and the five result tables of the association page.
//
// The results are kept as numbers (R, P, q per marker and trait); the tables' cells are
// formatted when they are asked for, so a run over 50,000 markers holds no texts.

#include "genetics/anovaassociationreport.h"
#include "genetics/traittable.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace rvk {

class MarkerData;
class UserInterface;

class AssociationResults
{
public:
    // The five tables, by their sub-pages: "-10LOG(p)", "R²", "R", "p-values", "q-values".
    enum class Table { LogP, R2, R, P, Q };
    static constexpr int TableCount = 5;
    // How the numbers were made: correlation, or the multi-allele ANOVA (p only).
    enum class Kind { None, Correlation, Anova };

    AssociationResults() = default;

    Kind kind() const { return mKind; }
    bool isEmpty() const { return mKind == Kind::None && !hasPasted(); }
    int traitCount() const { return static_cast<int>(mTraitNames.size()); }
    int markerCount() const { return static_cast<int>(mMarkerLabels.size()); }
    const std::vector<std::string> &traitNames() const { return mTraitNames; }
    const std::vector<std::string> &markerLabels() const { return mMarkerLabels; }

    // Table sizes and cells as the page shows them ((column, row) from 0).
    int rowCount(Table table) const;
    int columnCount(Table table) const;
    std::string cell(Table table, int column, int row) const;
    // Every cell of a table, rows first (for spreadsheets and the command line's tables).
    std::vector<std::vector<std::string>> grid(Table table) const;

    // Numbers of trait t (1-based column) and marker m (0-based), read as the plots read the
    // tables: R² and R 0 when there is none, q and p -1 when there is none.
    double r2(int trait, int marker) const;
    double r(int trait, int marker) const;
    double q(int trait, int marker) const;
    double p(int trait, int marker) const;
    // The p-value as computed (not as shown), NaN where there is none.
    double exactP(int trait, int marker) const;
    // The p threshold of the FDR for trait t (correlation runs).
    double pThreshold(int trait) const;

    // Results computed elsewhere, pasted as tab-separated text. "Paste p-values" fills the
    // p-value table (first line row 0, the others from row 2, row 1 the threshold text) and the
    // q-value table (plain layout); "Paste r-values" fills R and R² (every number squared).
    void pastePValues(std::string_view clipboardText, const std::string &thresholdText);
    void pasteRValues(std::string_view clipboardText);
    bool hasPasted() const;

    // For the runs.
    void reset(Kind kind, std::vector<std::string> traitNames, std::vector<std::string> markerLabels);
    void setCorrelation(int trait, int marker, double r, double p);
    // minusLog10P is -log10 p as the test computed it, also where p underflows to 0.
    void setAnovaP(int trait, int marker, double p, double minusLog10P);
    void setFdr(int trait, const std::vector<double> &qValues, double pThreshold);
    // A run stopped by a cell that is no number, at trait column `trait` (1-based) and marker
    // `marker` (0-based): the tables keep what was written before the stop and nothing more.
    // The traits before it are complete; of this trait the heading and the markers before
    // `marker` (no q-values, no threshold); later traits nothing, not even their headings.
    void stopAt(int trait, int marker);
    bool isStopped() const { return mStopTrait > 0; }
    // The trait names written to the tables' headings (all of them unless the run stopped).
    std::vector<std::string> writtenTraitNames() const;

private:
    size_t index(int trait, int marker) const
    {
        return static_cast<size_t>(trait - 1) * mMarkerLabels.size() + static_cast<size_t>(marker);
    }
    bool has(int trait, int marker) const;
    // Whether the run wrote the cell of trait column t (1-based) and marker m (0-based), and the
    // trait's q-values and threshold.
    bool written(int trait, int marker) const;
    bool fdrWritten(int trait) const { return mStopTrait == 0 || trait < mStopTrait; }
    const TraitTable *pasted(Table table) const;

    Kind mKind = Kind::None;
    std::vector<std::string> mTraitNames;
    std::vector<std::string> mMarkerLabels;
    // Per trait, then marker. P is NaN where the table shows " X" (or, for ANOVA, a note).
    std::vector<double> mR;
    std::vector<double> mP;
    std::vector<double> mQ;
    std::vector<double> mMinusLog10P; // ANOVA runs only
    std::vector<double> mPThreshold; // per trait
    int mStopTrait = 0;  // 0: the run completed
    int mStopMarker = 0;
    std::optional<TraitTable> mPastedP, mPastedQ, mPastedR, mPastedR2;
};

// Progress and cancel hooks of a long run.
struct AnalysisHooks
{
    std::function<void(long long position, long long maximum)> progress;
    std::function<bool()> cancelled;
};

struct CorrelationOutcome
{
    bool completed = false;
    bool cancelled = false;
    // "'%s' is not a valid floating point value" with the cell text, when a cell stopped it.
    std::string error;
};

// The pairs (marker-data column, trait-table column) of the individuals present in both,
// matched by exact name: every marker column with a name against every trait column of that name.
struct IndividualMatch
{
    std::vector<int> markerColumns;
    std::vector<int> traitColumns;
};
IndividualMatch matchIndividuals(const MarkerData &markers, const TraitTable &traits);

std::string notAFloatingPointValueMessage(const std::string &cellText);

// The correlation association over every trait row and marker row; results are replaced.
// fdrLevel is the level of the FDR per trait (the page's "qthreshold").
CorrelationOutcome runCorrelationAssociation(const MarkerData &markers, const TraitTable &traits, double fdrLevel,
                                             AssociationResults &results, const AnalysisHooks &hooks = {});

struct AnovaOutcome
{
    bool completed = false;
    bool cancelled = false;
    std::string error;
    long long pairs = 0;   // trait and marker pairs reported
    long long untested = 0; // of which had no F test (a note in the report, " X" in the tables)
};

// The multi-allele ANOVA association: for every trait row of sync (the synchronised trait table,
// its columns aligned with the marker data's individuals) and every marker row of markers (filled
// in code mode), a one-way ANOVA of the trait over the marker's levels. p ("%1.3f") and -log10 p
// go to the p-value and -10LOG(p) tables; each pair's report goes to report, kept as numbers.
// The pairs are shared among `threads` threads (0: one per core); the tables, the report and the
// messages of the distributions (through ui, in the order of the pairs) are those of a run that
// goes trait by trait and marker by marker. hooks are called on the calling thread only.
AnovaOutcome runAnovaAssociation(const MarkerData &markers, const TraitTable &sync, AssociationResults &results,
                                 AnovaAssociationReport &report, const AnalysisHooks &hooks = {}, UserInterface *ui = nullptr,
                                 int threads = 0);
// The same with the report's text appended to report.
AnovaOutcome runAnovaAssociation(const MarkerData &markers, const TraitTable &sync, AssociationResults &results,
                                 std::string &report, const AnalysisHooks &hooks = {}, UserInterface *ui = nullptr);

} // namespace rvk
