#include "genetics/qtlscan.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <thread>

namespace rvk {

namespace {

// Pivots below this share of their column's own sum of squares count as zero: the column adds
// nothing new (R's least squares drops such columns too).
constexpr double SingularTolerance = 1e-9;

double mean(const double *x, int n)
{
    double s = 0.0;
    for (int i = 0; i < n; ++i)
        s += x[i];
    return n > 0 ? s / n : 0.0;
}

// Takes the mean out of the first n values of column.
void centre(std::vector<double> &column, int n)
{
    const double m = mean(column.data(), n);
    for (double &v : column)
        v -= m;
}

// The values less their mean, and the sum of squares of the result.
struct CentredValues
{
    std::vector<double> values;
    double squares = 0.0;
};
CentredValues centred(const std::vector<double> &values)
{
    CentredValues result{values, 0.0};
    const double m = mean(values.data(), static_cast<int>(values.size()));
    for (double &v : result.values) {
        v -= m;
        result.squares += v * v;
    }
    return result;
}

// The residual sum of squares of y (centred, sum of squares yy) on centred columns, dropping
// columns that add nothing; coefficients (when asked) of the kept columns, 0 for dropped ones.
double residualSquares(const std::vector<const double *> &columns, const double *y, double yy, int n,
                       std::vector<double> *coefficients = nullptr)
{
    const size_t k = columns.size();
    std::vector<double> gram(k * k, 0.0), b(k, 0.0);
    for (size_t a = 0; a < k; ++a) {
        const double *x = columns[a];
        double sxy = 0.0;
        for (int i = 0; i < n; ++i)
            sxy += x[i] * y[i];
        b[a] = sxy;
        for (size_t c = 0; c <= a; ++c) {
            const double *z = columns[c];
            double s = 0.0;
            for (int i = 0; i < n; ++i)
                s += x[i] * z[i];
            gram[a * k + c] = gram[c * k + a] = s;
        }
    }
    // Cholesky, lower triangle in l; a dropped column keeps a zero row.
    std::vector<double> l(k * k, 0.0), z(k, 0.0);
    std::vector<char> kept(k, 0);
    double explained = 0.0;
    for (size_t j = 0; j < k; ++j) {
        double d = gram[j * k + j];
        for (size_t m = 0; m < j; ++m)
            d -= l[j * k + m] * l[j * k + m];
        if (!(d > SingularTolerance * gram[j * k + j]) || !(gram[j * k + j] > 0.0))
            continue;
        kept[j] = 1;
        const double root = std::sqrt(d);
        l[j * k + j] = root;
        for (size_t r = j + 1; r < k; ++r) {
            double s = gram[r * k + j];
            for (size_t m = 0; m < j; ++m)
                s -= l[r * k + m] * l[j * k + m];
            l[r * k + j] = s / root;
        }
        double s = b[j];
        for (size_t m = 0; m < j; ++m)
            s -= l[j * k + m] * z[m];
        z[j] = s / root;
        explained += z[j] * z[j];
    }
    if (coefficients) {
        coefficients->assign(k, 0.0);
        for (size_t j = k; j-- > 0;) {
            if (!kept[j])
                continue;
            double s = z[j];
            for (size_t r = j + 1; r < k; ++r)
                s -= l[r * k + j] * (*coefficients)[r];
            (*coefficients)[j] = s / l[j * k + j];
        }
    }
    return std::max(yy - explained, 0.0);
}

double lodOf(int n, double rss0, double rss1)
{
    if (!(rss0 > 0.0))
        return 0.0;
    rss1 = std::max(rss1, rss0 * 1e-15);
    return std::max(0.0, n / 2.0 * std::log10(rss0 / rss1));
}

// The probabilities of genotype g at position p of the trait's individuals, in the trait's order.
void traitColumn(const GenotypeProbabilities &probabilities, int p, int g, const QtlTraitData &trait, double *out)
{
    const float *column = probabilities.column(p, g);
    for (int i = 0; i < trait.count(); ++i)
        out[i] = column[trait.individuals[static_cast<size_t>(i)]];
}

// The same column, centred.
void centredColumn(const GenotypeProbabilities &probabilities, int p, int g, const QtlTraitData &trait, double *out)
{
    const int n = trait.count();
    traitColumn(probabilities, p, g, trait, out);
    const double m = mean(out, n);
    for (int i = 0; i < n; ++i)
        out[i] -= m;
}

std::uint64_t nextRandom(std::uint64_t &state)
{
    // splitmix64: the same sequence from the same seed everywhere.
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

} // namespace

std::vector<double> haleyKnottLod(const GenotypeProbabilities &probabilities, const QtlTraitData &trait,
                                  const QtlCovariates &covariates, const std::vector<std::vector<char>> &withoutCovariate)
{
    const int n = trait.count();
    const int P = probabilities.positionCount();
    const int G = probabilities.genotypeCount();
    std::vector<double> lod(static_cast<size_t>(P), 0.0);
    if (n < 2)
        return lod;
    const auto [y, yy] = centred(trait.values);
    std::vector<std::vector<double>> cov(covariates);
    for (auto &c : cov)
        centre(c, n);
    std::vector<std::vector<double>> genotypeColumns(static_cast<size_t>(G - 1), std::vector<double>(static_cast<size_t>(n)));
    // The null model's residuals for each set of covariates in use (one set unless cofactors drop).
    std::vector<char> lastSet;
    double rss0 = yy;
    for (int p = 0; p < P; ++p) {
        std::vector<const double *> columns;
        std::vector<char> set(cov.size(), 1);
        for (size_t c = 0; c < cov.size(); ++c) {
            if (c < withoutCovariate.size() && !withoutCovariate[c].empty() && withoutCovariate[c][static_cast<size_t>(p)])
                set[c] = 0;
            if (set[c])
                columns.push_back(cov[c].data());
        }
        if (p == 0 || set != lastSet) {
            rss0 = columns.empty() ? yy : residualSquares(columns, y.data(), yy, n);
            lastSet = set;
        }
        for (int g = 1; g < G; ++g) {
            centredColumn(probabilities, p, g, trait, genotypeColumns[static_cast<size_t>(g - 1)].data());
            columns.push_back(genotypeColumns[static_cast<size_t>(g - 1)].data());
        }
        lod[static_cast<size_t>(p)] = lodOf(n, rss0, residualSquares(columns, y.data(), yy, n));
    }
    return lod;
}

std::vector<double> intervalMappingLod(const GenotypeProbabilities &probabilities, const QtlTraitData &trait, int threads)
{
    const int n = trait.count();
    const int P = probabilities.positionCount();
    const int G = probabilities.genotypeCount();
    std::vector<double> lod(static_cast<size_t>(P), 0.0);
    if (n < 2)
        return lod;
    const double *y = trait.values.data();
    const double ym = mean(y, n);
    double rss0 = 0.0;
    for (int i = 0; i < n; ++i)
        rss0 += (y[i] - ym) * (y[i] - ym);
    if (!(rss0 > 0.0))
        return lod;
    constexpr double LogRoot2Pi = 0.91893853320467274178; // log(sqrt(2 pi))
    const double sigma0 = std::sqrt(rss0 / n);
    double null = 0.0; // -log10 likelihood of the null model
    for (int i = 0; i < n; ++i) {
        const double r = (y[i] - ym) / sigma0;
        null += 0.5 * r * r + std::log(sigma0) + LogRoot2Pi;
    }
    null /= std::numbers::ln10;
    constexpr int MaxIterations = 4000;
    constexpr double Tolerance = 1e-4;

    const auto scanRange = [&](int from, int to) {
        std::vector<double> p(static_cast<size_t>(n) * 3), w(static_cast<size_t>(n) * 3);
        for (int pos = from; pos < to; ++pos) {
            for (int g = 0; g < G; ++g) {
                const float *column = probabilities.column(pos, g);
                for (int i = 0; i < n; ++i)
                    p[static_cast<size_t>(i) * 3 + g] = column[trait.individuals[static_cast<size_t>(i)]];
            }
            double means[3] = {0, 0, 0}, oldMeans[3] = {0, 0, 0};
            double s1 = 0.0;
            for (int g = 0; g < G; ++g) {
                double s2 = 0.0, sy = 0.0, syy = 0.0;
                for (int i = 0; i < n; ++i) {
                    const double q = p[static_cast<size_t>(i) * 3 + g];
                    s2 += q;
                    sy += q * y[i];
                    syy += q * y[i] * y[i];
                }
                if (s2 > 0.0) {
                    s1 += syy - sy * sy / s2;
                    oldMeans[g] = sy / s2;
                }
            }
            double oldSigma = std::sqrt(std::max(s1, 0.0) / n);
            double sigma = oldSigma;
            for (int iteration = 0; iteration < MaxIterations; ++iteration) {
                double count[3] = {0, 0, 0}, sum[3] = {0, 0, 0}, squares[3] = {0, 0, 0};
                for (int i = 0; i < n; ++i) {
                    double total = 0.0;
                    double e[3];
                    for (int g = 0; g < G; ++g) {
                        const double r = (y[i] - oldMeans[g]) / oldSigma;
                        total += (e[g] = p[static_cast<size_t>(i) * 3 + g] * std::exp(-0.5 * r * r));
                    }
                    if (!(total > 0.0))
                        continue;
                    for (int g = 0; g < G; ++g) {
                        const double v = e[g] / total;
                        count[g] += v;
                        sum[g] += v * y[i];
                        squares[g] += v * y[i] * y[i];
                    }
                }
                double s = 0.0;
                for (int g = 0; g < G; ++g) {
                    if (count[g] > 0.0) {
                        s += squares[g] - sum[g] * sum[g] / count[g];
                        means[g] = sum[g] / count[g];
                    } else {
                        means[g] = oldMeans[g];
                    }
                }
                sigma = std::sqrt(std::max(s, 0.0) / n);
                bool moved = std::abs(sigma - oldSigma) > Tolerance * (oldSigma + Tolerance * 100.0);
                for (int g = 0; g < G && !moved; ++g)
                    moved = std::abs(means[g] - oldMeans[g]) > Tolerance * (std::abs(oldMeans[g]) + Tolerance * 100.0);
                if (!moved)
                    break;
                oldSigma = sigma;
                std::copy(means, means + 3, oldMeans);
                if (!(sigma > 0.0))
                    break;
            }
            if (!(sigma > 0.0)) {
                lod[static_cast<size_t>(pos)] = 0.0;
                continue;
            }
            double minusLog = 0.0;
            for (int i = 0; i < n; ++i) {
                double s = 0.0;
                for (int g = 0; g < G; ++g) {
                    const double r = (y[i] - means[g]) / sigma;
                    s += p[static_cast<size_t>(i) * 3 + g] * std::exp(-0.5 * r * r);
                }
                minusLog -= std::log(std::max(s, 1e-300)) - std::log(sigma) - LogRoot2Pi;
            }
            const double value = null - minusLog / std::numbers::ln10;
            lod[static_cast<size_t>(pos)] = std::isfinite(value) ? value : 0.0;
        }
    };
    threads = std::clamp(threads, 1, std::max(1, P));
    std::vector<std::thread> workers;
    for (int t = 1; t < threads; ++t)
        workers.emplace_back(scanRange, P * t / threads, P * (t + 1) / threads);
    scanRange(0, P / threads);
    for (std::thread &worker : workers)
        worker.join();
    return lod;
}

QtlEffects qtlEffects(const GenotypeProbabilities &probabilities, int position, const QtlTraitData &trait)
{
    QtlEffects effects;
    effects.dominance = std::numeric_limits<double>::quiet_NaN();
    const int n = trait.count();
    if (n < 2 || position < 0 || position >= probabilities.positionCount())
        return effects;
    const auto [y, yy] = centred(trait.values);
    std::vector<std::vector<double>> p(static_cast<size_t>(probabilities.genotypeCount()), std::vector<double>(static_cast<size_t>(n)));
    for (int g = 0; g < probabilities.genotypeCount(); ++g)
        traitColumn(probabilities, position, g, trait, p[static_cast<size_t>(g)].data());
    const QtlCross cross = probabilities.cross();
    std::vector<std::vector<double>> x;
    if (cross == QtlCross::Intercross) {
        x.assign(2, std::vector<double>(static_cast<size_t>(n)));
        for (size_t i = 0; i < static_cast<size_t>(n); ++i) {
            x[0][i] = p[2][i] - p[0][i];
            x[1][i] = p[1][i];
        }
    } else {
        const double scale = cross == QtlCross::Backcross ? 0.5 : 1.0;
        x.assign(1, std::vector<double>(static_cast<size_t>(n)));
        for (size_t i = 0; i < static_cast<size_t>(n); ++i)
            x[0][i] = scale * (p[1][i] - p[0][i]);
    }
    std::vector<const double *> columns;
    for (auto &c : x) {
        centre(c, n);
        columns.push_back(c.data());
    }
    std::vector<double> coefficients;
    residualSquares(columns, y.data(), yy, n, &coefficients);
    effects.additive = coefficients[0];
    if (cross == QtlCross::Intercross)
        effects.dominance = coefficients[1];
    return effects;
}

QtlInterval lodSupportInterval(const std::vector<double> &positions, const std::vector<double> &lod, double drop)
{
    QtlInterval interval;
    const int n = static_cast<int>(lod.size());
    if (n == 0)
        return interval;
    interval.peak = static_cast<int>(std::max_element(lod.begin(), lod.end()) - lod.begin());
    const double top = lod[static_cast<size_t>(interval.peak)];
    int first = -1, last = -1;
    for (int k = 0; k < n; ++k)
        if (lod[static_cast<size_t>(k)] > top - drop) {
            if (first < 0)
                first = k;
            last = k;
        }
    interval.low = std::max(first - 1, 0);
    interval.high = std::min(last + 1, n - 1);
    return interval;
}

QtlInterval bayesCredibleInterval(const std::vector<double> &positions, const std::vector<double> &lod, double probability)
{
    QtlInterval interval;
    const int n = static_cast<int>(lod.size());
    if (n == 0)
        return interval;
    const double top = *std::max_element(lod.begin(), lod.end());
    std::vector<double> area(static_cast<size_t>(n));
    double total = 0.0;
    for (int k = 0; k < n; ++k) {
        const double right = positions[static_cast<size_t>(std::min(k + 1, n - 1))];
        const double left = positions[static_cast<size_t>(std::max(k - 1, 0))];
        double width = (right - left) / 2.0;
        if (k == 0 || k == n - 1)
            width *= 2.0;
        // Scaled by 10^-top, which the shares do not see, so that high LODs do not overflow.
        total += (area[static_cast<size_t>(k)] = std::pow(10.0, lod[static_cast<size_t>(k)] - top) * width);
    }
    std::vector<int> order(static_cast<size_t>(n));
    for (int k = 0; k < n; ++k)
        order[static_cast<size_t>(k)] = k;
    std::stable_sort(order.begin(), order.end(), [&lod](int a, int b) { return lod[static_cast<size_t>(a)] > lod[static_cast<size_t>(b)]; });
    interval.peak = order[0];
    interval.low = interval.high = order[0];
    double cumulative = 0.0;
    for (int k = 0; k < n; ++k) {
        const int at = order[static_cast<size_t>(k)];
        cumulative += total > 0.0 ? area[static_cast<size_t>(at)] / total : 1.0;
        interval.low = std::min(interval.low, at);
        interval.high = std::max(interval.high, at);
        if (cumulative >= probability)
            break;
    }
    return interval;
}

double quantileType7(std::vector<double> values, double p)
{
    if (values.empty())
        return std::numeric_limits<double>::quiet_NaN();
    std::sort(values.begin(), values.end());
    const double h = (static_cast<double>(values.size()) - 1.0) * p;
    const size_t low = static_cast<size_t>(std::floor(h));
    const size_t high = std::min(low + 1, values.size() - 1);
    return values[low] + (h - static_cast<double>(low)) * (values[high] - values[low]);
}

std::vector<int> qtlPermutation(int n, std::uint64_t &state)
{
    std::vector<int> order(static_cast<size_t>(std::max(n, 0)));
    for (int i = 0; i < n; ++i)
        order[static_cast<size_t>(i)] = i;
    for (int i = n - 1; i > 0; --i) {
        const auto j = static_cast<int>((static_cast<unsigned __int128>(nextRandom(state)) * static_cast<unsigned>(i + 1)) >> 64);
        std::swap(order[static_cast<size_t>(i)], order[static_cast<size_t>(j)]);
    }
    return order;
}

// ---- permutations -------------------------------------------------------------------------

namespace {

constexpr int PermutationBlock = 16; // permutations computed together (one vector)
constexpr int RowBlock = 4;          // design rows computed together

typedef float Floats16 __attribute__((vector_size(64)));

// acc[r][k] = sum over i of rows[r][i] * values[i][k] for RowBlock rows and one block of
// permutations; the squares of each position's rows (rowsPerPosition of them) summed into
// explained[position][k]. The four sums are named variables so that they stay in registers.
__attribute__((target_clones("arch=skylake-avx512", "arch=haswell", "default")))
void permutationKernel(const float *rows, size_t rowStride, int n, const float *values, size_t valueStride,
                       int rowsPerPosition, double *explained)
{
    Floats16 a0 = {}, a1 = {}, a2 = {}, a3 = {};
    const float *r0 = rows, *r1 = rows + rowStride, *r2 = rows + 2 * rowStride, *r3 = rows + 3 * rowStride;
    for (int i = 0; i < n; ++i) {
        Floats16 y;
        std::memcpy(&y, values + static_cast<size_t>(i) * valueStride, sizeof(y));
        a0 += r0[i] * y;
        a1 += r1[i] * y;
        a2 += r2[i] * y;
        a3 += r3[i] * y;
    }
    const Floats16 sums[RowBlock] = {a0, a1, a2, a3};
    for (int r = 0; r < RowBlock; ++r) {
        double *out = explained + static_cast<size_t>(r / rowsPerPosition) * PermutationBlock;
        for (int l = 0; l < PermutationBlock; ++l)
            out[l] += static_cast<double>(sums[r][l]) * static_cast<double>(sums[r][l]);
    }
}

} // namespace

HaleyKnottPermutations::HaleyKnottPermutations(const QtlTraitData &trait, int permutations, std::uint64_t seed)
    : mTrait(trait), mPermutations(std::max(permutations, 0))
{
    mPadded = (mPermutations + PermutationBlock - 1) / PermutationBlock * PermutationBlock;
    const int n = mTrait.count();
    const CentredValues values = centred(mTrait.values);
    mTotalSquares = values.squares;
    mValues.assign(static_cast<size_t>(n) * static_cast<size_t>(mPadded), 0.0f);
    std::uint64_t state = seed;
    for (int k = 0; k < mPermutations; ++k) {
        const std::vector<int> order = qtlPermutation(n, state);
        for (int i = 0; i < n; ++i)
            mValues[static_cast<size_t>(i) * static_cast<size_t>(mPadded) + static_cast<size_t>(k)] =
                static_cast<float>(values.values[static_cast<size_t>(order[static_cast<size_t>(i)])]);
    }
    mBest.assign(static_cast<size_t>(mPadded), 0.0);
}

void HaleyKnottPermutations::scanGroup(const GenotypeProbabilities &probabilities, int threads, std::atomic<bool> &cancel,
                                       const std::function<void(int done)> &progress)
{
    const int n = mTrait.count();
    const int P = probabilities.positionCount();
    const int G = probabilities.genotypeCount();
    if (n < 2 || P == 0 || mPermutations == 0)
        return;
    const int perPosition = G - 1;
    // The design of each position: its centred columns turned orthonormal (the inverse of the
    // Cholesky factor of their cross products), so that a permutation's explained sum of squares
    // is the sum of squares of the rows times the values.
    const int positionsPerBlock = RowBlock / perPosition;
    const int positionBlocks = (P + positionsPerBlock - 1) / positionsPerBlock;
    const size_t stride = static_cast<size_t>(n);
    std::vector<float> rows(static_cast<size_t>(positionBlocks) * RowBlock * stride, 0.0f);
    std::vector<double> a(stride), b(stride);
    for (int p = 0; p < P; ++p) {
        float *first = rows.data() + static_cast<size_t>(p * perPosition) * stride;
        centredColumn(probabilities, p, 1, mTrait, a.data());
        double saa = 0.0;
        for (double v : a)
            saa += v * v;
        if (perPosition == 1) {
            if (saa > 1e-12)
                for (size_t i = 0; i < stride; ++i)
                    first[i] = static_cast<float>(a[i] / std::sqrt(saa));
            continue;
        }
        centredColumn(probabilities, p, 2, mTrait, b.data());
        double sab = 0.0, sbb = 0.0;
        for (size_t i = 0; i < stride; ++i) {
            sab += a[i] * b[i];
            sbb += b[i] * b[i];
        }
        float *second = first + stride;
        if (saa > 1e-12) {
            const double l11 = std::sqrt(saa);
            const double l21 = sab / l11;
            const double d = sbb - l21 * l21;
            for (size_t i = 0; i < stride; ++i)
                first[i] = static_cast<float>(a[i] / l11);
            if (d > SingularTolerance * sbb && d > 1e-12) {
                const double l22 = std::sqrt(d);
                for (size_t i = 0; i < stride; ++i)
                    second[i] = static_cast<float>((b[i] - l21 * a[i] / l11) / l22);
            }
        } else if (sbb > 1e-12) {
            for (size_t i = 0; i < stride; ++i)
                second[i] = static_cast<float>(b[i] / std::sqrt(sbb));
        }
    }

    const int permutationBlocks = mPadded / PermutationBlock;
    threads = std::clamp(threads, 1, permutationBlocks);
    std::atomic<int> finished{0};
    const auto work = [&](int thread) {
        std::vector<double> explained(static_cast<size_t>(positionsPerBlock) * PermutationBlock);
        for (int block = thread; block < permutationBlocks; block += threads) {
            if (cancel.load(std::memory_order_relaxed))
                return;
            const float *values = mValues.data() + static_cast<size_t>(block) * PermutationBlock;
            double *best = mBest.data() + static_cast<size_t>(block) * PermutationBlock;
            for (int pb = 0; pb < positionBlocks; ++pb) {
                std::fill(explained.begin(), explained.end(), 0.0);
                permutationKernel(rows.data() + static_cast<size_t>(pb) * RowBlock * stride, stride, n, values,
                                  static_cast<size_t>(mPadded), perPosition, explained.data());
                const int count = std::min(positionsPerBlock, P - pb * positionsPerBlock);
                for (int q = 0; q < count; ++q)
                    for (int k = 0; k < PermutationBlock; ++k)
                        best[k] = std::max(best[k], explained[static_cast<size_t>(q) * PermutationBlock + static_cast<size_t>(k)]);
            }
            finished.fetch_add(1);
            if (thread == 0 && progress)
                progress(std::min(mPermutations, finished.load() * PermutationBlock));
        }
    };
    std::vector<std::thread> workers;
    for (int t = 1; t < threads; ++t)
        workers.emplace_back(work, t);
    work(0);
    for (std::thread &worker : workers)
        worker.join();
    if (progress && !cancel.load())
        progress(mPermutations);
}

std::vector<double> HaleyKnottPermutations::maxima() const
{
    std::vector<double> lod(static_cast<size_t>(mPermutations));
    const int n = mTrait.count();
    for (int k = 0; k < mPermutations; ++k)
        lod[static_cast<size_t>(k)] = lodOf(n, mTotalSquares, mTotalSquares - mBest[static_cast<size_t>(k)]);
    return lod;
}

std::vector<int> forwardSelectMarkers(const std::vector<std::vector<std::uint8_t>> &markers, const std::vector<double> &values,
                                      int count, bool intercross)
{
    const int n = static_cast<int>(values.size());
    const int M = static_cast<int>(markers.size());
    const int width = intercross ? 2 : 1;
    // Centred columns of every marker: the class itself (two classes) or the indicators of AA
    // and AB (intercross).
    std::vector<std::vector<double>> columns(static_cast<size_t>(M * width), std::vector<double>(static_cast<size_t>(n)));
    for (int m = 0; m < M; ++m)
        for (int w = 0; w < width; ++w) {
            auto &c = columns[static_cast<size_t>(m * width + w)];
            for (int i = 0; i < n; ++i) {
                const int g = markers[static_cast<size_t>(m)][static_cast<size_t>(i)];
                c[static_cast<size_t>(i)] = intercross ? (g == w + 1 ? 1.0 : 0.0) : static_cast<double>(g);
            }
            centre(c, n);
        }
    std::vector<double> y = centred(values).values;
    std::vector<int> chosen;
    std::vector<char> used(static_cast<size_t>(M), 0);
    count = std::min(count, M);
    for (int step = 0; step < count; ++step) {
        int best = -1;
        double bestRss = 0.0;
        double yy = 0.0;
        for (double v : y)
            yy += v * v;
        for (int m = 0; m < M; ++m) {
            if (used[static_cast<size_t>(m)])
                continue;
            std::vector<const double *> cols;
            for (int w = 0; w < width; ++w)
                cols.push_back(columns[static_cast<size_t>(m * width + w)].data());
            const double rss = residualSquares(cols, y.data(), yy, n);
            if (best < 0 || rss < bestRss) {
                best = m;
                bestRss = rss;
            }
        }
        if (best < 0)
            break;
        chosen.push_back(best);
        used[static_cast<size_t>(best)] = 1;
        // Take the chosen marker's columns out of y and of every other marker's columns.
        std::vector<const double *> cols;
        for (int w = 0; w < width; ++w)
            cols.push_back(columns[static_cast<size_t>(best * width + w)].data());
        const auto project = [&](std::vector<double> &target) {
            double tt = 0.0;
            for (double v : target)
                tt += v * v;
            std::vector<double> coefficients;
            residualSquares(cols, target.data(), tt, n, &coefficients);
            for (int i = 0; i < n; ++i)
                for (int w = 0; w < width; ++w)
                    target[static_cast<size_t>(i)] -= coefficients[static_cast<size_t>(w)] * cols[static_cast<size_t>(w)][i];
        };
        project(y);
        for (int m = 0; m < M; ++m)
            if (!used[static_cast<size_t>(m)])
                for (int w = 0; w < width; ++w)
                    project(columns[static_cast<size_t>(m * width + w)]);
    }
    return chosen;
}

} // namespace rvk
