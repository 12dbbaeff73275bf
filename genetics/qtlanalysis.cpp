#include "genetics/qtlanalysis.h"

#include "core/genotypedata.h"
#include "core/textformat.h"
#include "core/userinterface.h"
#include "genetics/traittable.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <map>
#include <thread>
#include <unordered_map>

namespace rvk {

namespace {

// Traits with fewer values than this are left out.
constexpr int MinimumTraitValues = 10;

std::string joinNames(const std::vector<std::string> &names)
{
    std::string text;
    const size_t shown = std::min<size_t>(names.size(), 10);
    for (size_t k = 0; k < shown; ++k)
        text += (k ? ", " : "") + names[k];
    if (names.size() > shown)
        text += formatText(" and %d more", {static_cast<long long>(names.size() - shown)});
    return text;
}

std::uint64_t traitSeed(std::uint64_t seed, int trait)
{
    std::uint64_t z = seed + 0x9E3779B97F4A7C15ULL * static_cast<std::uint64_t>(trait + 1);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

// One group prepared for the model: its usable markers in map order and their codes.
struct PreparedGroup
{
    QtlAnalysis::Group group;
    std::vector<double> markerPositions;
    std::vector<std::vector<std::uint8_t>> observed; // [marker][analysis individual]
};

// Trait values of the analysis individuals.
struct PreparedTrait
{
    std::string name;
    std::vector<int> dataIndividuals;
    std::vector<double> values;
    QtlTraitData data; // individuals as analysis indices
};

class Progress
{
public:
    Progress(const QtlRunControl &control, long long total) : mControl(control), mTotal(std::max(total, 1LL)) {}
    // Reports done more units; false once the user asked to stop.
    bool advance(long long done)
    {
        mDone += done;
        return report();
    }
    bool report(long long extra = 0)
    {
        if (mControl.ui)
            mControl.ui->setProgress(std::min(mDone + extra, mTotal), mTotal);
        if (mControl.cancelRequested && mControl.cancelRequested())
            mCancelled = true;
        return !mCancelled;
    }
    bool cancelled() const { return mCancelled; }
    void finish()
    {
        if (mControl.ui)
            mControl.ui->setProgress(0, 0);
    }

private:
    const QtlRunControl &mControl;
    long long mTotal;
    long long mDone = 0;
    bool mCancelled = false;
};

} // namespace

const char *qtlMethodName(QtlMethod method)
{
    switch (method) {
    case QtlMethod::IntervalMapping:
        return "em";
    case QtlMethod::Composite:
        return "cim";
    default:
        return "hk";
    }
}

std::optional<QtlMethod> qtlMethodFromName(const std::string &name)
{
    if (name == "hk")
        return QtlMethod::HaleyKnott;
    if (name == "em")
        return QtlMethod::IntervalMapping;
    if (name == "cim")
        return QtlMethod::Composite;
    return std::nullopt;
}

const char *mapFunctionName(MapFunction function)
{
    return function == MapFunction::Kosambi ? "kosambi" : "haldane";
}

std::optional<MapFunction> mapFunctionFromName(const std::string &name)
{
    if (name == "haldane")
        return MapFunction::Haldane;
    if (name == "kosambi")
        return MapFunction::Kosambi;
    return std::nullopt;
}

std::unique_ptr<QtlAnalysis> QtlAnalysis::run(const GenotypeData &data, const TraitTable &traits, const QtlOptions &options,
                                              const QtlRunControl &control, std::string &error)
{
    std::unique_ptr<QtlAnalysis> analysis(new QtlAnalysis);
    analysis->mOptions = options;
    std::vector<std::string> &notes = analysis->mNotes;
    const int threads = options.threads > 0 ? options.threads : std::max(1u, std::thread::hardware_concurrency());

    if (data.GroupCount() == 0 || data.nind == 0) {
        error = "No genotype data loaded.";
        return nullptr;
    }
    if (data.IsCrossPollinator()) {
        error = "QTL mapping of cross-pollinator (\"cp\") populations is not available yet; it is planned for a later version.";
        return nullptr;
    }

    // Traits over the data set's individuals, matched by name as the association page matches them.
    std::unordered_map<std::string, std::vector<int>> columnsByName;
    for (int c = 1; c < traits.columnCount(); ++c)
        columnsByName[traits.cell(c, 0)].push_back(c);
    std::vector<PreparedTrait> prepared;
    for (int r = 1; r < traits.rowCount(); ++r) {
        PreparedTrait trait;
        trait.name = traits.cell(0, r);
        if (trait.name.empty())
            trait.name = formatText("Trait %d", {r});
        int notNumbers = 0;
        for (int i = 0; i < data.nind; ++i) {
            if (options.applySelection && !data.IsSelected(i))
                continue;
            const auto found = columnsByName.find(data.IndividualNames.size() > static_cast<size_t>(i) ? data.IndividualNames[static_cast<size_t>(i)] : std::string());
            if (found == columnsByName.end())
                continue;
            for (int c : found->second) {
                const std::string &text = traits.cell(c, r);
                if (text.find_first_not_of(" \t") == std::string::npos)
                    continue;
                const std::optional<double> value = parseDecimal(text);
                if (!value || !std::isfinite(*value)) {
                    ++notNumbers;
                    continue;
                }
                trait.dataIndividuals.push_back(i);
                trait.values.push_back(*value);
            }
        }
        if (notNumbers > 0)
            notes.push_back(formatText("Trait %s: %d values that are no number were left out.", {trait.name, notNumbers}));
        if (static_cast<int>(trait.values.size()) < MinimumTraitValues) {
            notes.push_back(formatText("Trait %s left out: %d individuals of the data set have a value, at least %d are needed.",
                                       {trait.name, static_cast<int>(trait.values.size()), MinimumTraitValues}));
            continue;
        }
        const auto [low, high] = std::minmax_element(trait.values.begin(), trait.values.end());
        if (*low == *high) {
            notes.push_back(formatText("Trait %s left out: all its values are equal.", {trait.name}));
            continue;
        }
        prepared.push_back(std::move(trait));
    }
    if (prepared.empty()) {
        error = "No trait can be mapped: the trait table needs traits with values for at least 10 individuals of the data set, "
                "its column headings being the individuals' names.";
        for (const std::string &note : notes)
            error += "\n" + note;
        return nullptr;
    }
    // The individuals the model runs over: those with a value of some trait.
    std::vector<int> analysisOf(static_cast<size_t>(data.nind), -1);
    std::vector<int> individuals;
    for (const PreparedTrait &trait : prepared)
        for (int i : trait.dataIndividuals)
            analysisOf[static_cast<size_t>(i)] = 1;
    for (int i = 0; i < data.nind; ++i)
        if (analysisOf[static_cast<size_t>(i)] == 1) {
            analysisOf[static_cast<size_t>(i)] = static_cast<int>(individuals.size());
            individuals.push_back(i);
        }
    for (PreparedTrait &trait : prepared) {
        for (int i : trait.dataIndividuals)
            trait.data.individuals.push_back(analysisOf[static_cast<size_t>(i)]);
        trait.data.values = trait.values;
        analysis->mTraitNames.push_back(trait.name);
        analysis->mTraitCounts.push_back(trait.data.count());
    }
    const int N = static_cast<int>(individuals.size());

    // Groups: usable markers in map order.
    std::vector<PreparedGroup> groups;
    for (int k = 0; k < data.GroupCount(); ++k) {
        const std::string &name = data.GroupName(k);
        const std::string type = data.GroupPopType(k).empty() ? data.popt : data.GroupPopType(k);
        const std::optional<QtlCross> cross = qtlCrossOf(type);
        if (!cross) {
            if (type == "cp")
                notes.push_back(formatText("Group %s left out: QTL mapping of cross-pollinator (\"cp\") populations is not available yet.", {name}));
            else
                notes.push_back(formatText("Group %s left out: its population type \"%s\" is none of bc, f2, ri, dh.", {name, type}));
            continue;
        }
        const std::vector<Tlocinfo> &loci = data.GroupLoci(k);
        const QtlObservationCodes codes = observationCodes(*cross);
        std::vector<int> order;
        std::vector<std::string> unplaced, empty;
        for (int l = 0; l < static_cast<int>(loci.size()); ++l) {
            const Tlocinfo &locus = loci[static_cast<size_t>(l)];
            if (locus.Position == -1.0 || !std::isfinite(locus.Position)) {
                unplaced.push_back(locus.Name);
                continue;
            }
            bool any = false;
            for (int i : individuals)
                if (static_cast<size_t>(i) < locus.Genotypes.size() && codes.code[static_cast<unsigned char>(locus.Genotypes[static_cast<size_t>(i)])]) {
                    any = true;
                    break;
                }
            if (!any) {
                empty.push_back(locus.Name);
                continue;
            }
            order.push_back(l);
        }
        if (!unplaced.empty())
            notes.push_back(formatText("Group %s: %d loci without a map position were left out (%s).",
                                       {name, static_cast<int>(unplaced.size()), joinNames(unplaced)}));
        if (!empty.empty())
            notes.push_back(formatText("Group %s: %d markers without a genotype of the cross were left out (%s).",
                                       {name, static_cast<int>(empty.size()), joinNames(empty)}));
        if (!std::is_sorted(order.begin(), order.end(), [&loci](int a, int b) { return loci[static_cast<size_t>(a)].Position < loci[static_cast<size_t>(b)].Position; })) {
            std::stable_sort(order.begin(), order.end(), [&loci](int a, int b) { return loci[static_cast<size_t>(a)].Position < loci[static_cast<size_t>(b)].Position; });
            notes.push_back(formatText("Group %s: its loci are out of map order; they were scanned in order of position.", {name}));
        }
        if (order.size() < 2) {
            notes.push_back(formatText("Group %s left out: it has %d usable markers, at least 2 are needed.", {name, static_cast<int>(order.size())}));
            continue;
        }
        PreparedGroup group;
        group.group.dataGroup = k;
        group.group.name = name;
        group.group.cross = *cross;
        for (int l : order) {
            const Tlocinfo &locus = loci[static_cast<size_t>(l)];
            group.group.markerLoci.push_back(l);
            group.group.markerNames.push_back(locus.Name);
            group.markerPositions.push_back(locus.Position);
            std::vector<std::uint8_t> codesOf(static_cast<size_t>(N), 0);
            for (int a = 0; a < N; ++a) {
                const size_t i = static_cast<size_t>(individuals[static_cast<size_t>(a)]);
                if (i < locus.Genotypes.size())
                    codesOf[static_cast<size_t>(a)] = codes.code[static_cast<unsigned char>(locus.Genotypes[i])];
            }
            group.observed.push_back(std::move(codesOf));
        }
        group.group.positions = scanPositions(group.markerPositions, options.step);
        groups.push_back(std::move(group));
    }
    if (groups.empty()) {
        error = "No linkage group can be scanned.";
        for (const std::string &note : notes)
            error += "\n" + note;
        return nullptr;
    }
    int rows = 0;
    for (PreparedGroup &group : groups) {
        group.group.firstRow = rows;
        rows += static_cast<int>(group.group.positions.size());
        for (size_t p = 0; p < group.group.positions.size(); ++p)
            analysis->mRowGroup.push_back(static_cast<int>(&group - groups.data()));
    }
    const int T = static_cast<int>(prepared.size());
    analysis->mLod.assign(static_cast<size_t>(T) * static_cast<size_t>(rows), 0.0);
    analysis->mMaxima.assign(static_cast<size_t>(T), {});

    GenotypeProbabilityOptions probabilityOptions;
    probabilityOptions.mapFunction = options.mapFunction;
    probabilityOptions.errorProbability = options.errorProbability;
    probabilityOptions.step = options.step;

    const int permutations = std::max(options.permutations, 0);
    const long long G = static_cast<long long>(groups.size());
    Progress progress(control, G * T * (1 + permutations));
    std::atomic<bool> cancel{false};

    // Composite interval mapping: the cofactors of each trait (and of each permutation) are chosen
    // among all markers, filled in by their most probable genotypes.
    std::vector<std::vector<std::uint8_t>> filled;           // [marker][analysis individual]
    std::vector<std::pair<int, double>> filledPlace;         // group index, position
    const bool composite = options.method == QtlMethod::Composite;
    if (composite) {
        for (size_t g = 0; g < groups.size(); ++g) {
            auto best = GenotypeProbabilities::mostProbableGenotypes(groups[g].group.cross, groups[g].markerPositions, groups[g].observed, N,
                                                                     options.mapFunction, options.errorProbability);
            for (size_t m = 0; m < best.size(); ++m) {
                filled.push_back(std::move(best[m]));
                filledPlace.emplace_back(static_cast<int>(g), groups[g].markerPositions[m]);
            }
        }
    }
    const auto cofactorsFor = [&](const QtlTraitData &trait, const std::vector<double> &values, bool intercross) {
        std::vector<std::vector<std::uint8_t>> markers(filled.size(), std::vector<std::uint8_t>(static_cast<size_t>(trait.count())));
        for (size_t m = 0; m < filled.size(); ++m)
            for (int i = 0; i < trait.count(); ++i)
                markers[m][static_cast<size_t>(i)] = filled[m][static_cast<size_t>(trait.individuals[static_cast<size_t>(i)])];
        return forwardSelectMarkers(markers, values, options.cofactors, intercross);
    };
    const auto compositeLod = [&](const GenotypeProbabilities &probabilities, int groupIndex, const QtlTraitData &trait,
                                  const std::vector<int> &cofactors) {
        QtlCovariates covariates;
        std::vector<std::vector<char>> without;
        const bool intercross = probabilities.cross() == QtlCross::Intercross;
        const double half = options.window / 2.0;
        for (int m : cofactors) {
            std::vector<char> drop(static_cast<size_t>(probabilities.positionCount()), 0);
            if (filledPlace[static_cast<size_t>(m)].first == groupIndex)
                for (int p = 0; p < probabilities.positionCount(); ++p)
                    drop[static_cast<size_t>(p)] = std::abs(probabilities.positions()[static_cast<size_t>(p)].position - filledPlace[static_cast<size_t>(m)].second) <= half;
            const auto &codes = filled[static_cast<size_t>(m)];
            std::vector<double> first(static_cast<size_t>(trait.count())), second(static_cast<size_t>(trait.count()));
            for (int i = 0; i < trait.count(); ++i) {
                const int g = codes[static_cast<size_t>(trait.individuals[static_cast<size_t>(i)])];
                first[static_cast<size_t>(i)] = intercross ? (g == 3) - (g == 1) : g;
                second[static_cast<size_t>(i)] = g == 2;
            }
            covariates.push_back(std::move(first));
            without.push_back(drop);
            if (intercross) {
                covariates.push_back(std::move(second));
                without.push_back(drop);
            }
        }
        return haleyKnottLod(probabilities, trait, covariates, without);
    };

    std::vector<std::unique_ptr<HaleyKnottPermutations>> hkPermutations(static_cast<size_t>(T));
    if (options.method == QtlMethod::HaleyKnott && permutations > 0)
        for (int t = 0; t < T; ++t)
            hkPermutations[static_cast<size_t>(t)] = std::make_unique<HaleyKnottPermutations>(prepared[static_cast<size_t>(t)].data, permutations,
                                                                                               traitSeed(options.seed, t));
    // The permuted values of the other methods, made again from the seed for every group.
    const auto permutedValues = [&](int t) {
        std::vector<std::vector<double>> all;
        std::uint64_t state = traitSeed(options.seed, t);
        const QtlTraitData &trait = prepared[static_cast<size_t>(t)].data;
        for (int k = 0; k < permutations; ++k) {
            const std::vector<int> order = qtlPermutation(trait.count(), state);
            std::vector<double> v(static_cast<size_t>(trait.count()));
            for (int i = 0; i < trait.count(); ++i)
                v[static_cast<size_t>(i)] = trait.values[static_cast<size_t>(order[static_cast<size_t>(i)])];
            all.push_back(std::move(v));
        }
        return all;
    };
    std::vector<std::vector<int>> traitCofactors(static_cast<size_t>(T));
    std::vector<std::vector<std::vector<int>>> permutationCofactors(static_cast<size_t>(T));
    std::vector<std::vector<std::vector<double>>> permuted(static_cast<size_t>(T));
    if (permutations > 0 && options.method != QtlMethod::HaleyKnott)
        for (int t = 0; t < T; ++t)
            permuted[static_cast<size_t>(t)] = permutedValues(t);
    if (composite) {
        const bool intercross = groups.front().group.cross == QtlCross::Intercross;
        for (int t = 0; t < T; ++t) {
            const QtlTraitData &trait = prepared[static_cast<size_t>(t)].data;
            traitCofactors[static_cast<size_t>(t)] = cofactorsFor(trait, trait.values, intercross);
            for (int k = 0; k < permutations; ++k)
                permutationCofactors[static_cast<size_t>(t)].push_back(cofactorsFor(trait, permuted[static_cast<size_t>(t)][static_cast<size_t>(k)], intercross));
        }
    }
    for (int t = 0; t < T; ++t)
        if (permutations > 0 && options.method != QtlMethod::HaleyKnott)
            analysis->mMaxima[static_cast<size_t>(t)].assign(static_cast<size_t>(permutations), 0.0);

    struct GroupPeak
    {
        int row = 0;
        QtlEffects effects;
    };
    std::vector<GroupPeak> groupPeaks(static_cast<size_t>(T) * groups.size());
    for (size_t g = 0; g < groups.size() && !progress.cancelled(); ++g) {
        const PreparedGroup &group = groups[g];
        const GenotypeProbabilities probabilities =
            GenotypeProbabilities::compute(group.group.cross, group.markerPositions, group.observed, N, probabilityOptions, threads);
        const int P = probabilities.positionCount();
        for (int t = 0; t < T && !progress.cancelled(); ++t) {
            const QtlTraitData &trait = prepared[static_cast<size_t>(t)].data;
            std::vector<double> lod;
            switch (options.method) {
            case QtlMethod::HaleyKnott:
                lod = haleyKnottLod(probabilities, trait);
                break;
            case QtlMethod::IntervalMapping:
                lod = intervalMappingLod(probabilities, trait, threads);
                break;
            case QtlMethod::Composite:
                lod = compositeLod(probabilities, static_cast<int>(g), trait, traitCofactors[static_cast<size_t>(t)]);
                break;
            }
            double *out = analysis->mLod.data() + static_cast<size_t>(t) * static_cast<size_t>(rows) + static_cast<size_t>(group.group.firstRow);
            for (int p = 0; p < P; ++p)
                out[p] = std::isfinite(lod[static_cast<size_t>(p)]) ? lod[static_cast<size_t>(p)] : 0.0;
            GroupPeak &peak = groupPeaks[static_cast<size_t>(t) * groups.size() + g];
            peak.row = static_cast<int>(std::max_element(lod.begin(), lod.end()) - lod.begin());
            peak.effects = qtlEffects(probabilities, peak.row, trait);
            if (!progress.advance(1))
                break;
            if (permutations == 0)
                continue;
            if (options.method == QtlMethod::HaleyKnott) {
                hkPermutations[static_cast<size_t>(t)]->scanGroup(probabilities, threads, cancel, [&](int done) {
                    if (!progress.report(done))
                        cancel = true;
                });
                if (cancel)
                    break;
                progress.advance(permutations);
            } else {
                std::vector<double> &maxima = analysis->mMaxima[static_cast<size_t>(t)];
                for (int k = 0; k < permutations; ++k) {
                    QtlTraitData shuffled = trait;
                    shuffled.values = permuted[static_cast<size_t>(t)][static_cast<size_t>(k)];
                    const std::vector<double> permutedLod =
                        composite ? compositeLod(probabilities, static_cast<int>(g), shuffled, permutationCofactors[static_cast<size_t>(t)][static_cast<size_t>(k)])
                                  : intervalMappingLod(probabilities, shuffled, threads);
                    for (double v : permutedLod)
                        if (std::isfinite(v))
                            maxima[static_cast<size_t>(k)] = std::max(maxima[static_cast<size_t>(k)], v);
                    if (!progress.advance(1))
                        break;
                }
            }
        }
    }
    progress.finish();
    if (progress.cancelled() || cancel)
        return nullptr;

    for (int t = 0; t < T; ++t) {
        if (hkPermutations[static_cast<size_t>(t)])
            analysis->mMaxima[static_cast<size_t>(t)] = hkPermutations[static_cast<size_t>(t)]->maxima();
        const auto &maxima = analysis->mMaxima[static_cast<size_t>(t)];
        analysis->mThreshold5.push_back(maxima.empty() ? std::numeric_limits<double>::quiet_NaN() : quantileType7(maxima, 0.95));
        analysis->mThreshold10.push_back(maxima.empty() ? std::numeric_limits<double>::quiet_NaN() : quantileType7(maxima, 0.90));
    }
    for (PreparedGroup &group : groups)
        analysis->mGroups.push_back(group.group);

    // Peaks and intervals.
    for (int t = 0; t < T; ++t)
        for (size_t g = 0; g < analysis->mGroups.size(); ++g) {
            const Group &group = analysis->mGroups[g];
            const int P = static_cast<int>(group.positions.size());
            std::vector<double> at(static_cast<size_t>(P)), lod(static_cast<size_t>(P));
            for (int p = 0; p < P; ++p) {
                at[static_cast<size_t>(p)] = group.positions[static_cast<size_t>(p)].position;
                lod[static_cast<size_t>(p)] = analysis->lod(t, group.firstRow + p);
            }
            const QtlInterval support = lodSupportInterval(at, lod, options.lodDrop);
            const QtlInterval bayes = bayesCredibleInterval(at, lod, options.bayesProbability);
            const GroupPeak &found = groupPeaks[static_cast<size_t>(t) * groups.size() + g];
            QtlPeak peak;
            peak.trait = t;
            peak.group = static_cast<int>(g);
            peak.row = group.firstRow + support.peak;
            peak.position = at[static_cast<size_t>(support.peak)];
            peak.lod = lod[static_cast<size_t>(support.peak)];
            peak.lodLow = at[static_cast<size_t>(support.low)];
            peak.lodHigh = at[static_cast<size_t>(support.high)];
            peak.bayesLow = at[static_cast<size_t>(bayes.low)];
            peak.bayesHigh = at[static_cast<size_t>(bayes.high)];
            const int n = analysis->mTraitCounts[static_cast<size_t>(t)];
            peak.varianceExplained = 100.0 * (1.0 - std::pow(10.0, -2.0 * peak.lod / n));
            peak.additive = found.effects.additive;
            peak.dominance = found.effects.dominance;
            int nearest = 0;
            for (size_t m = 1; m < group.markerNames.size(); ++m) {
                const double d = std::abs(data.GroupLoci(group.dataGroup)[static_cast<size_t>(group.markerLoci[m])].Position - peak.position);
                const double best = std::abs(data.GroupLoci(group.dataGroup)[static_cast<size_t>(group.markerLoci[static_cast<size_t>(nearest)])].Position - peak.position);
                if (d < best)
                    nearest = static_cast<int>(m);
            }
            peak.nearestLocus = group.markerLoci[static_cast<size_t>(nearest)];
            peak.nearestMarker = group.markerNames[static_cast<size_t>(nearest)];
            peak.significant = analysis->hasThresholds() && peak.lod >= analysis->mThreshold5[static_cast<size_t>(t)];
            analysis->mPeaks.push_back(peak);
        }
    return analysis;
}

double QtlAnalysis::rowPosition(int row) const
{
    const Group &group = mGroups[static_cast<size_t>(mRowGroup[static_cast<size_t>(row)])];
    return group.positions[static_cast<size_t>(row - group.firstRow)].position;
}

std::string QtlAnalysis::rowLocus(int row) const
{
    const Group &group = mGroups[static_cast<size_t>(mRowGroup[static_cast<size_t>(row)])];
    const int marker = group.positions[static_cast<size_t>(row - group.firstRow)].marker;
    return marker >= 0 ? group.markerNames[static_cast<size_t>(marker)] : std::string();
}

double QtlAnalysis::threshold(int trait, double alpha) const
{
    const auto &values = alpha > 0.075 ? mThreshold10 : mThreshold5;
    return values.empty() ? std::numeric_limits<double>::quiet_NaN() : values[static_cast<size_t>(trait)];
}

namespace {

std::string positionText(double cM)
{
    // Grid positions carry the rounding of their sums; six decimals say every position exactly.
    return formatGeneral(std::round(cM * 1e6) / 1e6);
}

std::string numberOrEmpty(double value, const char *pattern)
{
    return std::isfinite(value) ? formatText(pattern, {value}) : std::string();
}

} // namespace

std::string QtlAnalysis::scanText() const
{
    std::string text = "group\tlocus\tposition";
    for (const std::string &name : mTraitNames)
        text += "\t" + name;
    text += "\n";
    for (int row = 0; row < rowCount(); ++row) {
        const Group &group = mGroups[static_cast<size_t>(rowGroup(row))];
        text += formatText("%d", {group.dataGroup + 1}) + "\t" + rowLocus(row) + "\t" + positionText(rowPosition(row));
        for (int t = 0; t < traitCount(); ++t)
            text += "\t" + formatText("%.4f", {lod(t, row)});
        text += "\n";
    }
    return text;
}

std::vector<std::string> QtlAnalysis::peakHeadings()
{
    return {"trait", "group", "position", "marker", "LOD", "LOD interval from", "LOD interval to", "Bayes interval from",
            "Bayes interval to", "variance explained (%)", "additive", "dominance", "threshold 5%", "threshold 10%", "significant"};
}

std::vector<std::string> QtlAnalysis::peakCells(const QtlPeak &peak) const
{
    const Group &group = mGroups[static_cast<size_t>(peak.group)];
    return {mTraitNames[static_cast<size_t>(peak.trait)],
            formatText("%d", {group.dataGroup + 1}),
            positionText(peak.position),
            peak.nearestMarker,
            formatText("%.4f", {peak.lod}),
            positionText(peak.lodLow),
            positionText(peak.lodHigh),
            positionText(peak.bayesLow),
            positionText(peak.bayesHigh),
            formatText("%.2f", {peak.varianceExplained}),
            numberOrEmpty(peak.additive, "%.4f"),
            numberOrEmpty(peak.dominance, "%.4f"),
            numberOrEmpty(threshold(peak.trait, 0.05), "%.4f"),
            numberOrEmpty(threshold(peak.trait, 0.10), "%.4f"),
            hasThresholds() ? (peak.significant ? "yes" : "no") : ""};
}

std::string QtlAnalysis::peaksText() const
{
    std::string text;
    const auto line = [&text](const std::vector<std::string> &cells) {
        for (size_t c = 0; c < cells.size(); ++c)
            text += (c ? "\t" : "") + cells[c];
        text += "\n";
    };
    line(peakHeadings());
    for (const QtlPeak &peak : mPeaks)
        line(peakCells(peak));
    return text;
}

namespace {

// The significant peak to write at each marker (the highest when several land on one).
std::map<std::pair<int, int>, const QtlPeak *> intervalsToWrite(const QtlAnalysis &analysis)
{
    std::map<std::pair<int, int>, const QtlPeak *> chosen;
    for (const QtlPeak &peak : analysis.peaks()) {
        if (!peak.significant)
            continue;
        const std::pair<int, int> key{analysis.groups()[static_cast<size_t>(peak.group)].dataGroup, peak.nearestLocus};
        const auto found = chosen.find(key);
        if (found == chosen.end() || found->second->lod < peak.lod)
            chosen[key] = &peak;
    }
    return chosen;
}

bool locusExists(const GenotypeData &data, int group, int locus)
{
    return group >= 0 && group < data.GroupCount() && locus >= 0 && locus < data.GroupLocusCount(group);
}

} // namespace

int qtlIntervalsInTheWay(const GenotypeData &data, const QtlAnalysis &analysis)
{
    int count = 0;
    for (const auto &[key, peak] : intervalsToWrite(analysis))
        if (locusExists(data, key.first, key.second)) {
            const Tlocinfo &locus = data.GroupLoci(key.first)[static_cast<size_t>(key.second)];
            if (locus.QtlStart != 0.0 || locus.QtlEnd != 0.0)
                ++count;
        }
    return count;
}

QtlIntervalWrite addQtlIntervals(GenotypeData &data, const QtlAnalysis &analysis, bool replace)
{
    QtlIntervalWrite result;
    for (const auto &[key, peak] : intervalsToWrite(analysis)) {
        if (!locusExists(data, key.first, key.second))
            continue;
        Tlocinfo &locus = data.GroupLoci(key.first)[static_cast<size_t>(key.second)];
        if (locus.QtlStart != 0.0 || locus.QtlEnd != 0.0) {
            ++result.replaceable;
            if (!replace) {
                ++result.kept;
                continue;
            }
        }
        locus.QtlStart = peak->lodLow;
        locus.QtlEnd = peak->lodHigh;
        // QtlStart 0 means "no interval": an interval from 0 cM starts at the data file's first
        // step, 0.1 cM, so that it stays an interval when the file is written and read again.
        if (locus.QtlStart == 0.0)
            locus.QtlStart = 0.1;
        ++result.written;
    }
    return result;
}

} // namespace rvk
