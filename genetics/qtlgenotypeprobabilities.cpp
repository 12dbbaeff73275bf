#include "genetics/qtlgenotypeprobabilities.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <new>
#include <thread>
#include <type_traits>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace rvk {

namespace {

// Individuals computed together: one cache line of floats per column.
constexpr int Lanes = 16;
// Recombination fractions below this count as this (two markers at one position stay two
// positions of the chain).
constexpr double SmallestFraction = 1e-14;

struct Model
{
    int genotypes = 2;
    std::array<double, 3> initial{};
    // emission[observation][genotype]
    std::array<std::array<double, 3>, 6> emission{};
};

Model modelOf(QtlCross cross, double errorProbability)
{
    const double e = std::clamp(errorProbability, 1e-50, 1.0 - 1e-50);
    Model model;
    model.genotypes = genotypeCount(cross);
    for (auto &row : model.emission)
        row.fill(1.0); // missing: every genotype alike
    if (model.genotypes == 2) {
        model.initial = {0.5, 0.5, 0.0};
        for (int observed = 1; observed <= 2; ++observed)
            for (int g = 0; g < 2; ++g)
                model.emission[observed][g] = observed == g + 1 ? 1.0 - e : e;
    } else {
        model.initial = {0.25, 0.5, 0.25};
        for (int observed = 1; observed <= 3; ++observed)
            for (int g = 0; g < 3; ++g)
                model.emission[observed][g] = observed == g + 1 ? 1.0 - e : e / 2.0;
        for (int g = 0; g < 3; ++g) {
            model.emission[4][g] = g != 2 ? 1.0 - e / 2.0 : e; // not BB
            model.emission[5][g] = g != 0 ? 1.0 - e / 2.0 : e; // not AA
        }
    }
    return model;
}

// The transition matrix between two positions r apart (already expanded for RIL).
std::array<std::array<double, 3>, 3> transition(int genotypes, double r)
{
    std::array<std::array<double, 3>, 3> t{};
    if (genotypes == 2) {
        t[0] = {1.0 - r, r, 0.0};
        t[1] = {r, 1.0 - r, 0.0};
    } else {
        const double s = 1.0 - r;
        t[0] = {s * s, 2.0 * r * s, r * r};
        t[1] = {r * s, s * s + r * r, r * s};
        t[2] = {r * r, 2.0 * r * s, s * s};
    }
    return t;
}

std::vector<double> intervalFractions(QtlCross cross, const std::vector<double> &positions, MapFunction function)
{
    std::vector<double> fractions;
    for (size_t k = 1; k < positions.size(); ++k) {
        double r = recombinationFraction(positions[k] - positions[k - 1], function);
        if (cross == QtlCross::RiSelf)
            r = 2.0 * r / (1.0 + 2.0 * r); // the RIL's map expansion
        fractions.push_back(std::max(r, SmallestFraction));
    }
    return fractions;
}

constexpr size_t HugePage = size_t{2} << 20;

float *allocateFloats(size_t count)
{
    const size_t bytes = std::max<size_t>((count * sizeof(float) + HugePage - 1) / HugePage * HugePage, HugePage);
    void *memory = std::aligned_alloc(HugePage, bytes);
    if (!memory)
        throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
    madvise(memory, bytes, MADV_HUGEPAGE);
#endif
    return static_cast<float *>(memory);
}

} // namespace

void GenotypeProbabilities::Release::operator()(float *p) const
{
    std::free(p);
}

std::optional<QtlCross> qtlCrossOf(const std::string &popt)
{
    if (popt == "bc")
        return QtlCross::Backcross;
    if (popt == "f2")
        return QtlCross::Intercross;
    if (popt == "ri" || popt == "ril" || popt == "riself")
        return QtlCross::RiSelf;
    if (popt == "dh" || popt == "dh1")
        return QtlCross::DoubledHaploid;
    return std::nullopt;
}

int genotypeCount(QtlCross cross)
{
    return cross == QtlCross::Intercross ? 3 : 2;
}

std::vector<std::string> genotypeNames(QtlCross cross)
{
    switch (cross) {
    case QtlCross::Backcross:
        return {"AA", "AB"};
    case QtlCross::Intercross:
        return {"AA", "AB", "BB"};
    default:
        return {"AA", "BB"};
    }
}

QtlObservationCodes observationCodes(QtlCross cross)
{
    QtlObservationCodes codes;
    const auto set = [&codes](char c, std::uint8_t value) {
        codes.code[static_cast<unsigned char>(c)] = value;
        codes.code[static_cast<unsigned char>(c - 'A' + 'a')] = value;
    };
    switch (cross) {
    case QtlCross::Backcross:
        set('A', 1);
        set('H', 2);
        break;
    case QtlCross::Intercross:
        set('A', 1);
        set('H', 2);
        set('B', 3);
        set('D', 4);
        set('C', 5);
        break;
    case QtlCross::RiSelf:
    case QtlCross::DoubledHaploid:
        set('A', 1);
        set('B', 2);
        break;
    }
    return codes;
}

double recombinationFraction(double cM, MapFunction function)
{
    const double d = std::abs(cM) / 100.0;
    if (function == MapFunction::Kosambi)
        return 0.5 * std::tanh(2.0 * d);
    return 0.5 * (1.0 - std::exp(-2.0 * d));
}

std::vector<ScanPosition> scanPositions(const std::vector<double> &markerPositions, double step)
{
    std::vector<ScanPosition> positions;
    if (markerPositions.empty())
        return positions;
    // Like R/qtl: the grid runs from the first marker, positions taken relative to it; a grid point
    // counts as a marker's only when both are exactly equal.
    const double first = *std::min_element(markerPositions.begin(), markerPositions.end());
    std::vector<double> relative;
    for (double p : markerPositions)
        relative.push_back(p - first);
    std::vector<double> grid;
    if (step > 0.0) {
        const double last = *std::max_element(relative.begin(), relative.end());
        const long long n = static_cast<long long>(std::floor(last / step + 1e-10));
        for (long long k = 0; k <= n; ++k) {
            const double g = std::min(static_cast<double>(k) * step, last);
            if (std::find(relative.begin(), relative.end(), g) == relative.end())
                grid.push_back(g);
        }
    }
    size_t m = 0;
    size_t k = 0;
    while (m < relative.size() || k < grid.size()) {
        if (k >= grid.size() || (m < relative.size() && relative[m] <= grid[k])) {
            positions.push_back({relative[m] + first, static_cast<int>(m)});
            ++m;
        } else {
            positions.push_back({grid[k] + first, -1});
            ++k;
        }
    }
    return positions;
}

GenotypeProbabilities GenotypeProbabilities::compute(QtlCross cross, const std::vector<double> &markerPositions,
                                                     const std::vector<std::vector<std::uint8_t>> &observed, int individuals,
                                                     const GenotypeProbabilityOptions &options, int threads)
{
    GenotypeProbabilities result;
    result.mCross = cross;
    result.mIndividuals = individuals;
    result.mGenotypes = rvk::genotypeCount(cross);
    result.mStride = static_cast<size_t>((individuals + Lanes - 1) / Lanes * Lanes);
    result.mPositions = scanPositions(markerPositions, options.step);
    const int P = result.positionCount();
    const int G = result.mGenotypes;
    result.mSize = static_cast<size_t>(P) * static_cast<size_t>(G) * result.mStride;
    result.mProbabilities.reset(allocateFloats(result.mSize));
    if (P == 0 || individuals == 0) {
        std::fill(result.mProbabilities.get(), result.mProbabilities.get() + result.mSize, 0.0f);
        return result;
    }

    std::vector<double> at;
    for (const ScanPosition &p : result.mPositions)
        at.push_back(p.position);
    const std::vector<double> fractions = intervalFractions(cross, at, options.mapFunction);
    std::vector<std::array<std::array<double, 3>, 3>> steps;
    for (double r : fractions)
        steps.push_back(transition(G, r));
    const Model model = modelOf(cross, options.errorProbability);

    const int blocks = static_cast<int>(result.mStride / Lanes);
    // The genotype count as a constant, so that the loops over genotypes unroll.
    const auto runBlocksOf = [&]<int G>(std::integral_constant<int, G>, int firstBlock, int endBlock) {
        std::vector<double> alpha(static_cast<size_t>(P) * 3 * Lanes);
        std::uint8_t obs[Lanes];
        double emit[3][Lanes]; // the emission probability of each genotype at the current position
        double beta[3][Lanes];
        double next[3][Lanes];
        for (int block = firstBlock; block < endBlock; ++block) {
            const int base = block * Lanes;
            const auto observationsAt = [&](int p) {
                const int marker = result.mPositions[static_cast<size_t>(p)].marker;
                for (int l = 0; l < Lanes; ++l) {
                    const int i = base + l;
                    obs[l] = marker >= 0 && i < individuals ? observed[static_cast<size_t>(marker)][static_cast<size_t>(i)] : 0;
                    if (obs[l] > 5)
                        obs[l] = 0;
                }
                for (int g = 0; g < G; ++g)
                    for (int l = 0; l < Lanes; ++l)
                        emit[g][l] = model.emission[obs[l]][g];
            };
            // Forward, each position's values scaled to sum 1.
            for (int p = 0; p < P; ++p) {
                observationsAt(p);
                double *a = alpha.data() + static_cast<size_t>(p) * 3 * Lanes;
                if (p == 0) {
                    for (int g = 0; g < G; ++g)
                        for (int l = 0; l < Lanes; ++l)
                            a[g * Lanes + l] = model.initial[g] * emit[g][l];
                } else {
                    const double *previous = a - 3 * Lanes;
                    const auto &t = steps[static_cast<size_t>(p - 1)];
                    for (int g = 0; g < G; ++g)
                        for (int l = 0; l < Lanes; ++l) {
                            double s = 0.0;
                            for (int h = 0; h < G; ++h)
                                s += previous[h * Lanes + l] * t[h][g];
                            a[g * Lanes + l] = s * emit[g][l];
                        }
                }
                for (int l = 0; l < Lanes; ++l) {
                    double s = 0.0;
                    for (int g = 0; g < G; ++g)
                        s += a[g * Lanes + l];
                    const double inverse = 1.0 / s;
                    for (int g = 0; g < G; ++g)
                        a[g * Lanes + l] *= inverse;
                }
            }
            // Backward, writing each position's probabilities.
            for (int g = 0; g < G; ++g)
                for (int l = 0; l < Lanes; ++l)
                    beta[g][l] = 1.0;
            for (int p = P - 1; p >= 0; --p) {
                const double *a = alpha.data() + static_cast<size_t>(p) * 3 * Lanes;
                double product[3][Lanes];
                for (int l = 0; l < Lanes; ++l) {
                    double s = 0.0;
                    for (int g = 0; g < G; ++g)
                        s += (product[g][l] = a[g * Lanes + l] * beta[g][l]);
                    const double inverse = 1.0 / s;
                    for (int g = 0; g < G; ++g)
                        product[g][l] *= inverse;
                }
                for (int g = 0; g < G; ++g) {
                    float *out = result.mProbabilities.get() + (static_cast<size_t>(p) * static_cast<size_t>(G) + static_cast<size_t>(g)) * result.mStride + static_cast<size_t>(base);
                    for (int l = 0; l < Lanes; ++l)
                        out[l] = static_cast<float>(product[g][l]);
                }
                if (p == 0)
                    break;
                observationsAt(p);
                const auto &t = steps[static_cast<size_t>(p - 1)];
                for (int g = 0; g < G; ++g)
                    for (int l = 0; l < Lanes; ++l) {
                        double s = 0.0;
                        for (int h = 0; h < G; ++h)
                            s += t[g][h] * emit[h][l] * beta[h][l];
                        next[g][l] = s;
                    }
                for (int l = 0; l < Lanes; ++l) {
                    double s = 0.0;
                    for (int g = 0; g < G; ++g)
                        s += next[g][l];
                    const double inverse = 1.0 / s;
                    for (int g = 0; g < G; ++g)
                        beta[g][l] = next[g][l] * inverse;
                }
            }
        }
    };
    const auto runBlocks = [&](int firstBlock, int endBlock) {
        if (G == 3)
            runBlocksOf(std::integral_constant<int, 3>{}, firstBlock, endBlock);
        else
            runBlocksOf(std::integral_constant<int, 2>{}, firstBlock, endBlock);
    };
    threads = std::clamp(threads, 1, std::max(1, blocks));
    if (threads == 1) {
        runBlocks(0, blocks);
    } else {
        std::vector<std::thread> workers;
        for (int t = 1; t < threads; ++t)
            workers.emplace_back(runBlocks, blocks * t / threads, blocks * (t + 1) / threads);
        runBlocks(0, blocks / threads);
        for (std::thread &worker : workers)
            worker.join();
    }
    // Lanes past the last individual hold the prior; clear them so sums over a column stay true.
    for (int p = 0; p < P; ++p)
        for (int g = 0; g < G; ++g) {
            float *column = result.mProbabilities.get() + (static_cast<size_t>(p) * static_cast<size_t>(G) + static_cast<size_t>(g)) * result.mStride;
            std::fill(column + individuals, column + result.mStride, 0.0f);
        }
    return result;
}

std::vector<std::vector<std::uint8_t>> GenotypeProbabilities::mostProbableGenotypes(QtlCross cross, const std::vector<double> &markerPositions,
                                                                                    const std::vector<std::vector<std::uint8_t>> &observed,
                                                                                    int individuals, MapFunction mapFunction,
                                                                                    double errorProbability)
{
    const int M = static_cast<int>(markerPositions.size());
    const int G = rvk::genotypeCount(cross);
    std::vector<std::vector<std::uint8_t>> best(static_cast<size_t>(M), std::vector<std::uint8_t>(static_cast<size_t>(individuals), 1));
    if (M == 0)
        return best;
    const std::vector<double> fractions = intervalFractions(cross, markerPositions, mapFunction);
    std::vector<std::array<std::array<double, 3>, 3>> logSteps;
    for (double r : fractions) {
        auto t = transition(G, r);
        for (auto &row : t)
            for (double &v : row)
                v = std::log(v);
        logSteps.push_back(t);
    }
    Model model = modelOf(cross, errorProbability);
    for (auto &row : model.emission)
        for (double &v : row)
            v = std::log(v);
    std::vector<std::array<std::uint8_t, 3>> from(static_cast<size_t>(M));
    for (int i = 0; i < individuals; ++i) {
        const auto obsAt = [&](int m) {
            const std::uint8_t o = observed[static_cast<size_t>(m)][static_cast<size_t>(i)];
            return o > 5 ? 0 : o;
        };
        std::array<double, 3> gamma{};
        for (int g = 0; g < G; ++g)
            gamma[g] = std::log(model.initial[g]) + model.emission[obsAt(0)][g];
        for (int m = 1; m < M; ++m) {
            std::array<double, 3> next{};
            const auto &t = logSteps[static_cast<size_t>(m - 1)];
            for (int g = 0; g < G; ++g) {
                int bestFrom = 0;
                double bestValue = gamma[0] + t[0][g];
                for (int h = 1; h < G; ++h) {
                    const double v = gamma[h] + t[h][g];
                    if (v > bestValue) {
                        bestValue = v;
                        bestFrom = h;
                    }
                }
                next[g] = bestValue + model.emission[obsAt(m)][g];
                from[static_cast<size_t>(m)][g] = static_cast<std::uint8_t>(bestFrom);
            }
            gamma = next;
        }
        int state = 0;
        for (int g = 1; g < G; ++g)
            if (gamma[g] > gamma[state])
                state = g;
        for (int m = M - 1; m >= 0; --m) {
            best[static_cast<size_t>(m)][static_cast<size_t>(i)] = static_cast<std::uint8_t>(state + 1);
            if (m > 0)
                state = from[static_cast<size_t>(m)][state];
        }
    }
    return best;
}

} // namespace rvk
