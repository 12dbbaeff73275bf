#include "genetics/backcrosspedigree.h"

#include "core/genotypedata.h"
#include "core/textformat.h"
#include "genetics/backcrossstatistics.h"

namespace rvk {

const char *const SamePedigreeParentsMessage = "The two parents must be two different individuals.";
const char *const NoExpectedLocusMessage = "The two parents are known and homozygous together at no locus: there is no F1 code to expect.";

namespace {

// Points in halves of one locus compared with another code: equal 2, heterozygous against
// homozygous 1, else 0. Both codes known.
int similarityHalves(char a, char b)
{
    const bool hetA = isHeterozygousBreedingCode(a), hetB = isHeterozygousBreedingCode(b);
    if (a == b || (hetA && hetB))
        return 2;
    return hetA != hetB ? 1 : 0;
}

} // namespace

const char *PedigreeCheck::verdictText(Verdict verdict)
{
    switch (verdict) {
    case Verdict::F1: return "F1";
    case Verdict::SelfOfP1: return "self of P1";
    case Verdict::SelfOfP2: return "self of P2";
    case Verdict::Check: break;
    }
    return "check";
}

const std::vector<std::string> &PedigreeCheck::columnCaptions()
{
    static const std::vector<std::string> captions{"individual", "f1_match", "similarity_p1", "similarity_p2",
                                                   "verdict", "contradictions", "contradicting_loci"};
    return captions;
}

std::optional<double> PedigreeCheck::Share::percent() const
{
    if (count == 0)
        return std::nullopt;
    return 100.0 * halves / (2.0 * count);
}

std::optional<double> PedigreeCheck::f1Match(int row) const
{
    const Row &r = mRows[static_cast<size_t>(row)];
    if (r.compared == 0)
        return std::nullopt;
    return 100.0 * r.matching / r.compared;
}

PedigreeCheck::Verdict PedigreeCheck::verdict(int row) const
{
    const auto f1 = f1Match(row), p1 = similarityToP1(row), p2 = similarityToP2(row);
    if (f1 && *f1 >= mF1Threshold)
        return Verdict::F1;
    if (p1 && *p1 >= mSelfThreshold)
        return Verdict::SelfOfP1;
    if (p2 && *p2 >= mSelfThreshold)
        return Verdict::SelfOfP2;
    return Verdict::Check;
}

std::vector<MarkerPlace> PedigreeCheck::contradictingLoci(int row) const
{
    const Row &r = mRows[static_cast<size_t>(row)];
    std::vector<MarkerPlace> places;
    for (size_t k = 0; k < r.contradictions; ++k)
        places.push_back(mExpected[static_cast<size_t>(mContradictions[r.firstContradiction + k])].place);
    return places;
}

int PedigreeCheck::contradictionCount(int row) const { return static_cast<int>(mRows[static_cast<size_t>(row)].contradictions); }

void PedigreeCheck::setThresholds(double f1Threshold, double selfThreshold)
{
    mF1Threshold = f1Threshold;
    mSelfThreshold = selfThreshold;
}

std::string PedigreeCheck::cell(int row, int column) const
{
    const Row &r = mRows[static_cast<size_t>(row)];
    auto percent = [](const std::optional<double> &value) { return value ? formatText("%.2f", {*value}) : std::string("-"); };
    switch (column) {
    case IndividualColumn: return r.name;
    case F1MatchColumn: return percent(f1Match(row));
    case SimilarityP1Column: return percent(similarityToP1(row));
    case SimilarityP2Column: return percent(similarityToP2(row));
    case VerdictColumn: return verdictText(verdict(row));
    case ContradictionsColumn: return formatText("%d", {static_cast<int>(r.contradictions)});
    case ContradictingLociColumn: {
        std::string text;
        for (size_t k = 0; k < r.contradictions; ++k) {
            if (k)
                text += ", ";
            text += mExpected[static_cast<size_t>(mContradictions[r.firstContradiction + k])].name;
        }
        return text;
    }
    default: break;
    }
    return {};
}

std::string PedigreeCheck::tabText() const
{
    std::string text;
    for (int c = 0; c < ColumnCount; ++c)
        text += (c ? "\t" : "") + columnCaptions()[static_cast<size_t>(c)];
    text += "\n";
    for (int r = 0; r < rowCount(); ++r) {
        for (int c = 0; c < ColumnCount; ++c)
            text += (c ? "\t" : "") + cell(r, c);
        text += "\n";
    }
    return text;
}

std::vector<std::vector<std::string>> PedigreeCheck::spreadsheetGrid() const
{
    std::vector<std::vector<std::string>> grid{columnCaptions()};
    for (int r = 0; r < rowCount(); ++r) {
        std::vector<std::string> line;
        for (int c = 0; c < ColumnCount; ++c)
            line.push_back(cell(r, c));
        grid.push_back(std::move(line));
    }
    return grid;
}

std::optional<PedigreeCheck> checkPedigree(const GenotypeData &data, const PedigreeRequest &request, std::string &error)
{
    if (data.IsCrossPollinator()) {
        error = TwoCodesMessage;
        return std::nullopt;
    }
    const int P1 = request.parent1, P2 = request.parent2;
    if (P1 < 0 || P1 >= data.nind) {
        error = backcrossParentMissingMessage("parent P1", "");
        return std::nullopt;
    }
    if (P2 < 0 || P2 >= data.nind) {
        error = backcrossParentMissingMessage("parent P2", "");
        return std::nullopt;
    }
    if (P1 == P2) {
        error = SamePedigreeParentsMessage;
        return std::nullopt;
    }
    auto codeAt = [](const Tlocinfo &locus, int i) {
        return static_cast<size_t>(i) < locus.Genotypes.size() ? locus.Genotypes[static_cast<size_t>(i)] : 'U';
    };

    PedigreeCheck result;
    result.mF1Threshold = request.f1Threshold;
    result.mSelfThreshold = request.selfThreshold;
    for (int g = 0; g < data.GroupCount(); ++g) {
        const auto &loci = data.GroupLoci(g);
        for (size_t k = 0; k < loci.size(); ++k) {
            const char a = codeAt(loci[k], P1), b = codeAt(loci[k], P2);
            if (isKnownHomozygousCode(a) && isKnownHomozygousCode(b))
                result.mExpected.push_back({MarkerPlace{g, static_cast<int>(k)}, a == b ? a : 'H', plainMarkerName(loci[k].Name)});
        }
    }
    if (result.mExpected.empty()) {
        error = NoExpectedLocusMessage;
        return std::nullopt;
    }

    for (int i = 0; i < data.nind; ++i) {
        if (request.selectedOnly && !data.IsSelected(i))
            continue;
        PedigreeCheck::Row row;
        row.individual = i;
        row.name = static_cast<size_t>(i) < data.IndividualNames.size() ? data.IndividualNames[static_cast<size_t>(i)] : std::string();
        row.firstContradiction = result.mContradictions.size();
        size_t next = 0; // the next expected locus, in the same order as the walk below
        for (int g = 0; g < data.GroupCount(); ++g) {
            const auto &loci = data.GroupLoci(g);
            for (size_t k = 0; k < loci.size(); ++k) {
                const char c = codeAt(loci[k], i);
                const bool known = !isUnknownBreedingCode(c);
                const bool expected = next < result.mExpected.size() && result.mExpected[next].place.group == g
                    && result.mExpected[next].place.locus == static_cast<int>(k);
                if (expected) {
                    if (known) {
                        const char e = result.mExpected[next].code;
                        ++row.compared;
                        if (c == e || (e == 'H' && isHeterozygousBreedingCode(c)))
                            ++row.matching;
                        else
                            result.mContradictions.push_back(static_cast<int>(next));
                    }
                    ++next;
                }
                if (!known)
                    continue;
                for (auto [parent, share] : {std::pair{P1, &row.p1}, std::pair{P2, &row.p2}}) {
                    const char p = codeAt(loci[k], parent);
                    if (isUnknownBreedingCode(p))
                        continue;
                    ++share->count;
                    share->halves += similarityHalves(c, p);
                }
            }
        }
        row.contradictions = result.mContradictions.size() - row.firstContradiction;
        result.mRows.push_back(std::move(row));
    }
    return result;
}

} // namespace rvk
