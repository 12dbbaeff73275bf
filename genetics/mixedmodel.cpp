#include "genetics/mixedmodel.h"

#include "core/genotypedata.h"
#include "core/textformat.h"
#include "genetics/fdr.h"
#include "genetics/pca.h"
#include "genetics/traittable.h"
#include "stats/distributions.h"

#include <Eigen/Dense>
#include <algorithm>
#include <atomic>
#include <cblas.h>
#include <cmath>
#include <map>
#include <numbers>
#include <thread>

namespace rvk {

namespace {

// Up to 16 columns: the covariates, the marker and the trait. More principal components than
// MaxPcs are not taken.
constexpr int MaxColumns = 16;
constexpr int MaxPcs = 12;
using Small = Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, 0, MaxColumns, MaxColumns>;
using SmallVector = Eigen::Matrix<double, Eigen::Dynamic, 1, 0, MaxColumns, 1>;

constexpr double CollinearR2 = 0.9999; // GEMMA's -r2 default
constexpr int BlockMarkers = 512;

} // namespace

// The REML likelihood and its derivative at one lambda, from the weighted cross-products of the
// columns [W, x, y] (x left out for the null model).
struct ModelEvaluation
{
    const RotatedModel &model;
    const double *x; // rotated marker, or null for the null model
    bool withMarker; // the design has the marker column (x may be null when only S is given)
    Eigen::MatrixXd m; // n x p: the covariates, the marker (when there is one) and the trait, rotated
    Eigen::Map<const Eigen::ArrayXd> d;

    ModelEvaluation(const RotatedModel &owner, const double *marker, bool hasMarker = false)
        : model(owner), x(marker), withMarker(marker || hasMarker), d(owner.mEigen->values.data(), owner.mN)
    {
        if (!x && withMarker)
            return; // products given from outside: no columns

        const int n = model.mN, c = model.mC, p = designColumns() + 1;
        m.resize(n, p);
        const Eigen::Map<const Eigen::MatrixXd> columns(model.mColumns.data(), n, c + 1);
        m.leftCols(c) = columns.leftCols(c);
        if (x)
            m.col(c) = Eigen::Map<const Eigen::VectorXd>(x, n);
        m.col(p - 1) = columns.col(c);
    }

    int designColumns() const { return model.mC + (withMarker ? 1 : 0); }

    // S = M' diag(h) M with h = 1 / (lambda d + 1) over the columns [W, x, y]; with
    // derivative also G = M' diag(dh/dlambda) M and sum(d h); with logDet sum(log(lambda d + 1)).
    void crossProducts(double lambda, Small &s, Small *g, double *traceDh, double *logDet) const
    {
        const int p = static_cast<int>(m.cols());
        const Eigen::ArrayXd denominator = lambda * d + 1.0;
        const Eigen::ArrayXd h = denominator.inverse();
        s.resize(p, p);
        Eigen::VectorXd weighted(m.rows());
        for (int a = 0; a < p; ++a) {
            weighted = (m.col(a).array() * h).matrix();
            for (int b = a; b < p; ++b)
                s(a, b) = s(b, a) = weighted.dot(m.col(b));
        }
        if (g) {
            const Eigen::ArrayXd dh = -d * h.square();
            g->resize(p, p);
            for (int a = 0; a < p; ++a) {
                weighted = (m.col(a).array() * dh).matrix();
                for (int b = a; b < p; ++b)
                    (*g)(a, b) = (*g)(b, a) = weighted.dot(m.col(b));
            }
            *traceDh = (d * h).sum();
        }
        if (logDet)
            *logDet = denominator.log().sum();
    }

    // From S: the GLS fit of y on the design columns. False when the design is not of full rank.
    struct Fit
    {
        SmallVector beta;
        double pyy = 0.0;
        double logDetA = 0.0;
        Small inverse; // (X' H^-1 X)^-1
    };
    bool fit(const Small &s, Fit &out, bool wantInverse) const
    {
        const int q = designColumns();
        const Small a = s.topLeftCorner(q, q);
        Eigen::LLT<Small> llt(a);
        if (llt.info() != Eigen::Success)
            return false;
        const SmallVector b = s.block(0, q, q, 1);
        out.beta = llt.solve(b);
        out.pyy = s(q, q) - b.dot(out.beta);
        out.logDetA = 0.0;
        for (int k = 0; k < q; ++k) {
            const double diagonal = llt.matrixL()(k, k);
            if (!(diagonal > 0.0))
                return false;
            out.logDetA += 2.0 * std::log(diagonal);
        }
        if (wantInverse)
            out.inverse = llt.solve(Small::Identity(q, q));
        return true;
    }

    double degreesOfFreedom() const { return static_cast<double>(model.mN - designColumns()); }

    // The derivative of the REML log-likelihood; NaN when it cannot be computed.
    double derivative(double lambda) const
    {
        Small s, g;
        double traceDh = 0.0;
        crossProducts(lambda, s, &g, &traceDh, nullptr);
        Fit f;
        if (!fit(s, f, true) || !(f.pyy > 0.0))
            return std::numeric_limits<double>::quiet_NaN();
        const int q = designColumns();
        const double traceA = (f.inverse * g.topLeftCorner(q, q)).trace();
        SmallVector v(q + 1);
        v.head(q) = -f.beta;
        v(q) = 1.0;
        const double pyyDerivative = v.dot(g * v);
        return -0.5 * traceDh - 0.5 * traceA - 0.5 * degreesOfFreedom() * pyyDerivative / f.pyy;
    }

    // The REML log-likelihood with GEMMA's constants (log|X'X| from logDetXX).
    double logLikelihood(double lambda, double logDetXX) const
    {
        Small s;
        double logDetH = 0.0;
        crossProducts(lambda, s, nullptr, nullptr, &logDetH);
        Fit f;
        if (!fit(s, f, false))
            return -std::numeric_limits<double>::infinity();
        const double df = degreesOfFreedom();
        const double pyy = std::max(f.pyy, 1e-300);
        return 0.5 * df * (std::log(df) - std::log(2.0 * std::numbers::pi) - 1.0) - 0.5 * logDetH - 0.5 * (f.logDetA - logDetXX)
               - 0.5 * df * std::log(pyy);
    }

    double logDetXX() const
    {
        Small s;
        crossProducts(0.0, s, nullptr, nullptr, nullptr);
        Fit f;
        return fit(s, f, false) ? f.logDetA : 0.0;
    }

    // Brent's method for a root of the derivative in [low, high], where it changes sign.
    double root(double low, double high, double fLow, double fHigh) const
    {
        double a = low, b = high, fa = fLow, fb = fHigh, c = a, fc = fa, d = b - a, e = d;
        for (int iteration = 0; iteration < 100; ++iteration) {
            if ((fb > 0.0) == (fc > 0.0)) {
                c = a;
                fc = fa;
                d = e = b - a;
            }
            if (std::abs(fc) < std::abs(fb)) {
                a = b;
                b = c;
                c = a;
                fa = fb;
                fb = fc;
                fc = fa;
            }
            const double tolerance = 2.0 * 1e-15 * std::abs(b) + 0.5 * 1e-7 * std::abs(b) + 1e-12;
            const double m = 0.5 * (c - b);
            if (std::abs(m) <= tolerance || fb == 0.0)
                return b;
            if (std::abs(e) >= tolerance && std::abs(fa) > std::abs(fb)) {
                double p, q, r;
                const double s = fb / fa;
                if (a == c) {
                    p = 2.0 * m * s;
                    q = 1.0 - s;
                } else {
                    q = fa / fc;
                    r = fb / fc;
                    p = s * (2.0 * m * q * (q - r) - (b - a) * (r - 1.0));
                    q = (q - 1.0) * (r - 1.0) * (s - 1.0);
                }
                if (p > 0.0)
                    q = -q;
                else
                    p = -p;
                if (2.0 * p < std::min(3.0 * m * q - std::abs(tolerance * q), std::abs(e * q))) {
                    e = d;
                    d = p / q;
                } else {
                    d = m;
                    e = m;
                }
            } else {
                d = m;
                e = m;
            }
            a = b;
            fa = fb;
            b += std::abs(d) > tolerance ? d : (m > 0.0 ? tolerance : -tolerance);
            fb = derivative(b);
            if (std::isnan(fb))
                return b;
        }
        return b;
    }

    // GEMMA's search: sign changes of the derivative in regions of log lambda, each refined, the
    // best root or end kept.
    RemlFit estimate(const MixedModelOptions &options) const
    {
        const double logDetConstant = logDetXX();
        const int regions = std::max(1, options.regions);
        const double step = std::log(options.lambdaMax / options.lambdaMin) / regions;
        std::vector<double> grid(static_cast<size_t>(regions) + 1), slope(grid.size());
        for (int k = 0; k <= regions; ++k) {
            grid[static_cast<size_t>(k)] = options.lambdaMin * std::exp(step * k);
            slope[static_cast<size_t>(k)] = derivative(grid[static_cast<size_t>(k)]);
        }
        double best = options.lambdaMin, bestValue = logLikelihood(options.lambdaMin, logDetConstant);
        const double highValue = logLikelihood(options.lambdaMax, logDetConstant);
        if (highValue > bestValue) {
            best = options.lambdaMax;
            bestValue = highValue;
        }
        for (int k = 0; k < regions; ++k) {
            const double fl = slope[static_cast<size_t>(k)], fh = slope[static_cast<size_t>(k) + 1];
            if (std::isnan(fl) || std::isnan(fh) || fl * fh > 0.0)
                continue;
            double lambda = fl == 0.0 ? grid[static_cast<size_t>(k)]
                            : fh == 0.0 ? grid[static_cast<size_t>(k) + 1]
                                        : root(grid[static_cast<size_t>(k)], grid[static_cast<size_t>(k) + 1], fl, fh);
            lambda = std::clamp(lambda, options.lambdaMin, options.lambdaMax);
            const double value = logLikelihood(lambda, logDetConstant);
            if (value > bestValue) {
                best = lambda;
                bestValue = value;
            }
        }
        RemlFit result;
        result.lambda = best;
        result.logLikelihood = bestValue;
        Small s;
        crossProducts(best, s, nullptr, nullptr, nullptr);
        Fit f;
        if (fit(s, f, false)) {
            result.ve = f.pyy / degreesOfFreedom();
            result.vg = best * result.ve;
        }
        return result;
    }

    // The Wald test of the marker (the last design column) at lambda.
    std::optional<WaldTest> wald(double lambda) const
    {
        Small s;
        crossProducts(lambda, s, nullptr, nullptr, nullptr);
        return waldOfProducts(s, lambda);
    }

    // The same from the weighted cross-products S of [W, x, y] at lambda.
    std::optional<WaldTest> waldOfProducts(const Small &s, double lambda) const
    {
        Fit f;
        if (!fit(s, f, true))
            return std::nullopt;
        const int q = designColumns();
        const double df = degreesOfFreedom();
        const double pxxInverse = f.inverse(q - 1, q - 1);
        if (!(f.pyy > 0.0) || !(pxxInverse > 0.0))
            return std::nullopt;
        WaldTest test;
        test.lambda = lambda;
        test.beta = f.beta(q - 1);
        test.se = std::sqrt(pxxInverse * f.pyy / df);
        const double statistic = test.beta * test.beta / (test.se * test.se);
        waldPValue(statistic, static_cast<int>(df), test.p, test.minusLog10P);
        if (!std::isfinite(test.beta) || !std::isfinite(test.se) || !std::isfinite(test.p) || !std::isfinite(test.minusLog10P))
            return std::nullopt;
        return test;
    }
};

void waldPValue(double f, int df, double &p, double &minusLog10P)
{
    if (!(f > 0.0) || df < 1) {
        p = 1.0;
        minusLog10P = 0.0;
        return;
    }
    // P(F(1, df) > f) = I_{df / (df + f)}(df / 2, 1 / 2).
    const double lnP = LnIncompleteBeta(df / 2.0, 0.5, df / (df + f));
    p = std::exp(lnP);
    minusLog10P = -lnP / std::numbers::ln10;
    if (minusLog10P < 0.0) {
        minusLog10P = 0.0;
        p = 1.0;
    }
}

namespace {

// The standard normal quantile (Wichura's algorithm AS 241, PPND16: about 1e-16 relative).
double normalQuantile(double p)
{
    const double q = p - 0.5;
    if (std::abs(q) <= 0.425) {
        const double r = 0.180625 - q * q;
        return q * (((((((2509.0809287301226727 * r + 33430.575583588128105) * r + 67265.770927008700853) * r + 45921.953931549871457) * r
                        + 13731.693765509461125) * r + 1971.5909503065514427) * r + 133.14166789178437745) * r + 3.387132872796366608)
               / (((((((5226.495278852545925 * r + 28729.085735721942674) * r + 39307.89580009271061) * r + 21213.794301586595867) * r
                      + 5394.1960214247511077) * r + 687.1870074920579083) * r + 42.313330701600911252) * r + 1.0);
    }
    double r = q < 0.0 ? p : 1.0 - p;
    r = std::sqrt(-std::log(r));
    double value;
    if (r <= 5.0) {
        r -= 1.6;
        value = (((((((7.7454501427834140764e-4 * r + 0.0227238449892691845833) * r + 0.24178072517745061177) * r + 1.27045825245236838258) * r
                    + 3.64784832476320460504) * r + 5.7694972214606914055) * r + 4.6303378461565452959) * r + 1.42343711074968357734)
                / (((((((1.05075007164441684324e-9 * r + 5.475938084995344946e-4) * r + 0.0151986665636164571966) * r + 0.14810397642748007459) * r
                      + 0.68976733498510000455) * r + 1.6763848301838038494) * r + 2.05319162663775882187) * r + 1.0);
    } else {
        r -= 5.0;
        value = (((((((2.01033439929228813265e-7 * r + 2.71155556874348757815e-5) * r + 0.0012426609473880784386) * r + 0.026532189526576123093) * r
                    + 0.29656057182850489123) * r + 1.7848265399172913358) * r + 5.4637849111641143699) * r + 6.6579046435011037772)
                / (((((((2.04426310338993978564e-15 * r + 1.4215117583164458887e-7) * r + 1.8463183175100546818e-5) * r + 7.868691311456132591e-4) * r
                      + 0.0148753612908506148525) * r + 0.13692988092273580531) * r + 0.59983220655588793769) * r + 1.0);
    }
    return q < 0.0 ? -value : value;
}

} // namespace

double genomicInflation(const std::vector<double> &pValues)
{
    std::vector<double> chi;
    for (const double p : pValues)
        if (p > 0.0 && p <= 1.0) {
            const double z = normalQuantile(p / 2.0);
            chi.push_back(z * z);
        } else if (p == 0.0) {
            chi.push_back(std::numeric_limits<double>::max());
        }
    if (chi.empty())
        return 1.0;
    const size_t middle = chi.size() / 2;
    std::nth_element(chi.begin(), chi.begin() + static_cast<std::ptrdiff_t>(middle), chi.end());
    double median = chi[middle];
    if (chi.size() % 2 == 0) {
        median = (median + *std::max_element(chi.begin(), chi.begin() + static_cast<std::ptrdiff_t>(middle))) / 2.0;
    }
    return median / 0.45493642311957;
}

double bonferroniLine(size_t tests, double level)
{
    return tests == 0 ? std::numeric_limits<double>::quiet_NaN() : -std::log10(level / static_cast<double>(tests));
}

double fdrLine(const std::vector<double> &pValues, double level)
{
    if (pValues.empty())
        return std::numeric_limits<double>::quiet_NaN();
    const double threshold = FdrAdjust(pValues, level).PThreshold;
    return threshold > 0.0 ? -std::log10(threshold) : std::numeric_limits<double>::quiet_NaN();
}

bool RotatedModel::setUp(const KinshipEigen &eigen, const std::vector<double> &y, const std::vector<double> &covariates, int covariateCount,
                         std::string *error)
{
    const int n = eigen.size;
    if (static_cast<int>(y.size()) != n || static_cast<int>(covariates.size()) != n * covariateCount || covariateCount < 1
        || covariateCount + 2 > MaxColumns) {
        if (error)
            *error = "The trait, the covariates and the kinship do not fit together.";
        return false;
    }
    // Collinear covariates: W' W must be of full rank.
    const Eigen::Map<const Eigen::MatrixXd> w(covariates.data(), n, covariateCount);
    Eigen::ColPivHouseholderQR<Eigen::MatrixXd> qr(w);
    qr.setThreshold(1e-9);
    if (qr.rank() < covariateCount) {
        if (error)
            *error = "The covariates are collinear.";
        return false;
    }
    mEigen = &eigen;
    mN = n;
    mC = covariateCount;
    std::vector<double> in(covariates);
    in.insert(in.end(), y.begin(), y.end());
    std::vector<double> rotated(in.size());
    rotate(in.data(), covariateCount + 1, rotated.data());
    mColumns = std::move(rotated);
    const Small inverse = Small(w.transpose() * w).llt().solve(Small::Identity(covariateCount, covariateCount));
    mCovariateInverse.assign(inverse.data(), inverse.data() + inverse.size());
    return true;
}

void RotatedModel::rotate(const double *in, int count, double *out) const
{
    cblas_dgemm(CblasColMajor, CblasTrans, CblasNoTrans, mEigen->size, count, mEigen->size, 1.0, mEigen->vectors.data(), mEigen->size, in,
                mEigen->size, 0.0, out, mEigen->size);
}

bool RotatedModel::nullResiduals(double lambda, std::vector<double> &coefficients, std::vector<double> &weightedResiduals) const
{
    const ModelEvaluation evaluation{*this, nullptr};
    Small s;
    evaluation.crossProducts(lambda, s, nullptr, nullptr, nullptr);
    ModelEvaluation::Fit fit;
    if (!evaluation.fit(s, fit, false))
        return false;
    coefficients.assign(fit.beta.data(), fit.beta.data() + fit.beta.size());
    const Eigen::Map<const Eigen::MatrixXd> columns(mColumns.data(), mN, mC + 1);
    const Eigen::VectorXd residual = columns.col(mC) - columns.leftCols(mC) * fit.beta;
    const Eigen::VectorXd rotated = (residual.array() / (lambda * evaluation.d + 1.0)).matrix();
    const Eigen::Map<const Eigen::MatrixXd> u(mEigen->vectors.data(), mN, mN);
    const Eigen::VectorXd back = u * rotated;
    weightedResiduals.assign(back.data(), back.data() + back.size());
    return true;
}

double RotatedModel::nullLogLikelihood(double lambda) const
{
    const ModelEvaluation evaluation{*this, nullptr};
    return evaluation.logLikelihood(lambda, evaluation.logDetXX());
}

RemlFit RotatedModel::fitNull(const MixedModelOptions &options) const
{
    return ModelEvaluation{*this, nullptr}.estimate(options);
}

bool RotatedModel::collinear(const double *wx, double xx) const
{
    // GEMMA's filter of markers collinear with the covariates (not applied to the intercept
    // alone): the uncentred r2 of x on W, from the unweighted cross-products.
    if (!(xx > 0.0))
        return true;
    const Eigen::Map<const SmallVector> w(wx, mC);
    const double projected = w.dot(Eigen::Map<const Small>(mCovariateInverse.data(), mC, mC) * w);
    if (mC > 1 && projected / xx > CollinearR2)
        return true;
    return xx - projected <= 1e-12 * xx;
}

std::optional<WaldTest> RotatedModel::testRotated(const double *rotatedX, const MixedModelOptions &options, std::optional<double> fixedLambda) const
{
    const ModelEvaluation evaluation{*this, rotatedX};
    Small s;
    evaluation.crossProducts(0.0, s, nullptr, nullptr, nullptr);
    const SmallVector wx = s.block(0, mC, mC, 1);
    if (collinear(wx.data(), s(mC, mC)))
        return std::nullopt;
    const double lambda = fixedLambda ? *fixedLambda : evaluation.estimate(options).lambda;
    return evaluation.wald(lambda);
}

void RotatedModel::testBlockAt(const double *rotatedX, int count, double lambda, std::optional<WaldTest> *out) const
{
    // With lambda fixed every marker needs only its products with the weighted covariates and
    // trait and its own weighted sum of squares: two products of the block with n x (c + 1)
    // matrices and one pass, instead of a pass per product and marker.
    const int n = mN, c = mC;
    const Eigen::Map<const Eigen::MatrixXd> x(rotatedX, n, count);
    const Eigen::Map<const Eigen::MatrixXd> columns(mColumns.data(), n, c + 1);
    const Eigen::Map<const Eigen::ArrayXd> d(mEigen->values.data(), n);
    const Eigen::ArrayXd h = (lambda * d + 1.0).inverse();
    const Eigen::MatrixXd weighted = columns.array().colwise() * h;
    const Eigen::MatrixXd withWeighted = x.transpose() * weighted;        // count x (c + 1)
    const Eigen::MatrixXd withCovariates = x.transpose() * columns.leftCols(c); // unweighted, for the filter
    const Eigen::VectorXd squares = x.array().square().colwise().sum();
    const Eigen::VectorXd weightedSquares = (x.array().square().colwise() * h).colwise().sum();
    const Eigen::MatrixXd fixedPart = columns.transpose() * weighted;     // (c + 1) x (c + 1): [W, y]
    const ModelEvaluation evaluation{*this, nullptr, true};
    Small s(c + 2, c + 2);
    s.topLeftCorner(c, c) = fixedPart.topLeftCorner(c, c);
    s.block(0, c + 1, c, 1) = fixedPart.block(0, c, c, 1);
    s.block(c + 1, 0, 1, c) = fixedPart.block(c, 0, 1, c);
    s(c + 1, c + 1) = fixedPart(c, c);
    for (int j = 0; j < count; ++j) {
        const SmallVector wx = withCovariates.row(j).transpose();
        if (collinear(wx.data(), squares(j))) {
            out[j] = std::nullopt;
            continue;
        }
        for (int a = 0; a < c; ++a)
            s(a, c) = s(c, a) = withWeighted(j, a);
        s(c, c) = weightedSquares(j);
        s(c, c + 1) = s(c + 1, c) = withWeighted(j, c);
        out[j] = evaluation.waldOfProducts(s, lambda);
    }
}

bool traitIndividuals(const GenotypeData &data, const TraitTable &traits, int row, std::vector<int> &individuals, std::vector<double> &values,
                      std::string *error)
{
    individuals.clear();
    values.clear();
    for (int i = 0; i < data.nind; ++i) {
        if (!data.IsSelected(i) || static_cast<size_t>(i) >= data.IndividualNames.size())
            continue;
        const auto column = traits.lastColumnNamed(data.IndividualNames[static_cast<size_t>(i)]);
        if (!column)
            continue;
        const std::string &cell = traits.cell(*column, row);
        if (cell.find_first_not_of(" \t") == std::string::npos)
            continue;
        const auto value = parseDecimal(cell);
        if (!value || !std::isfinite(*value)) {
            if (error)
                *error = formatText("'%s' is not a valid floating point value", {cell});
            return false;
        }
        if (*value == -99.0) // the analyses' missing value
            continue;
        individuals.push_back(i);
        values.push_back(*value);
    }
    return true;
}

AnalysedTrait analysedTrait(const GenotypeData &data, const TraitTable &traits, int row)
{
    AnalysedTrait trait;
    trait.name = traits.cell(0, row);
    std::string error;
    if (!traitIndividuals(data, traits, row, trait.individuals, trait.values, &error)) {
        trait.message = formatText("Trait %s: %s; the trait is left out.", {trait.name, error});
    } else if (static_cast<int>(trait.individuals.size()) < MinimumTraitValues) {
        trait.message = formatText("Trait %s has %d values among the individuals; at least %d are needed.",
                                   {trait.name, static_cast<int>(trait.individuals.size()), MinimumTraitValues});
    }
    return trait;
}

std::optional<RemlFit> fitNullModel(RotatedModel &model, const KinshipEigen &eigen, const std::vector<double> &y,
                                    const std::vector<double> &covariates, int covariateCount, const MixedModelOptions &options,
                                    std::string *error)
{
    if (!model.setUp(eigen, y, covariates, covariateCount, error))
        return std::nullopt;
    return model.fitNull(options);
}

namespace {

struct IndividualSet
{
    std::vector<int> individuals;
    std::vector<int> traits; // indices into results.traits
    std::vector<std::vector<double>> values;
};

// The markers of the set's dosage matrix as indices into the results' list of every locus.
std::vector<int> globalMarkerIndices(const DosageMatrix &dosages, const std::vector<int> &groupStart)
{
    std::vector<int> indices;
    indices.reserve(static_cast<size_t>(dosages.markerCount()));
    for (int m = 0; m < dosages.markerCount(); ++m)
        indices.push_back(groupStart[static_cast<size_t>(dosages.marker(m).group)] + dosages.marker(m).locus);
    return indices;
}

std::string namesOf(const GenotypeData &data, int individual)
{
    return static_cast<size_t>(individual) < data.IndividualNames.size() ? data.IndividualNames[static_cast<size_t>(individual)]
                                                                          : std::to_string(individual + 1);
}

} // namespace

std::optional<MixedModelResults> runMixedModel(const GenotypeData &data, const TraitTable &traits, const MixedModelOptions &options,
                                               const PanelProgress &progress)
{
    MixedModelResults results;
    results.p3d = options.p3d;
    std::vector<int> groupStart;
    for (int g = 0; g < data.GroupCount(); ++g) {
        groupStart.push_back(static_cast<int>(results.markers.size()));
        results.groupNames.push_back(data.GroupName(g));
        const auto &loci = data.GroupLoci(g);
        for (size_t l = 0; l < loci.size(); ++l)
            results.markers.push_back({g, static_cast<int>(l), loci[l].Name, loci[l].Position});
    }
    const int pcs = std::clamp(options.pcs, 0, MaxPcs);
    if (options.pcs > MaxPcs)
        results.notes.push_back(formatText("At most %d principal components are taken as covariates.", {MaxPcs}));

    // The traits by their sets of individuals: one kinship and decomposition per set.
    std::vector<IndividualSet> sets;
    for (int row = 1; row <= traits.traitCount(); ++row) {
        AnalysedTrait values = analysedTrait(data, traits, row);
        TraitModelResult trait;
        trait.trait = values.name;
        trait.message = values.message;
        const std::vector<int> &individuals = values.individuals;
        trait.individuals = individuals;
        results.traits.push_back(trait);
        if (!trait.message.empty())
            continue;
        auto found = std::find_if(sets.begin(), sets.end(), [&](const IndividualSet &set) { return set.individuals == individuals; });
        if (found == sets.end()) {
            sets.push_back({individuals, {}, {}});
            found = sets.end() - 1;
        }
        found->traits.push_back(static_cast<int>(results.traits.size()) - 1);
        found->values.push_back(values.values);
    }

    long long totalWork = 0, doneWork = 0;
    for (const IndividualSet &set : sets)
        totalWork += static_cast<long long>(results.markers.size()) * static_cast<long long>(set.traits.size()) + static_cast<long long>(results.markers.size());
    const auto step = [&](long long work) { return !progress || progress(doneWork + work, std::max(1LL, totalWork)); };

    for (const IndividualSet &set : sets) {
        const int n = static_cast<int>(set.individuals.size());
        const DosageMatrix dosages = DosageMatrix::fromGenotypes(data, set.individuals);
        const auto traitNames = [&] {
            std::string text;
            for (const int t : set.traits)
                text += (text.empty() ? "" : ", ") + results.traits[static_cast<size_t>(t)].trait;
            return text;
        }();
        if (!dosages.note().empty())
            results.notes.push_back(traitNames + ": " + dosages.note());
        if (dosages.markerCount() == 0) {
            for (const int t : set.traits)
                results.traits[static_cast<size_t>(t)].message =
                    formatText("Trait %s: no marker varies among its %d individuals.", {results.traits[static_cast<size_t>(t)].trait, n});
            doneWork += static_cast<long long>(results.markers.size()) * static_cast<long long>(set.traits.size() + 1);
            continue;
        }
        const bool single = options.rotation == MixedModelOptions::Precision::Single
                            || (options.rotation == MixedModelOptions::Precision::Automatic && n >= 1000);
        const auto kinship = computeKinship(
            dosages, options.kinship,
            [&](long long done, long long total) { return step(static_cast<long long>(results.markers.size()) * done / std::max(1LL, total) / 2); },
            single);
        if (!kinship)
            return std::nullopt;
        const auto duplicates = identicalKinshipRows(*kinship, 3);
        for (const auto &[i, j] : duplicates)
            results.notes.push_back(formatText("%s: individuals %s and %s have the same genotypes, so the kinship is singular; the model "
                                               "holds all the same, the residual keeps them apart.",
                                               {traitNames, namesOf(data, set.individuals[static_cast<size_t>(i)]),
                                                namesOf(data, set.individuals[static_cast<size_t>(j)])}));
        std::string error;
        const auto eigen = decomposeKinship(*kinship, &error, single);
        if (!eigen) {
            for (const int t : set.traits)
                results.traits[static_cast<size_t>(t)].message = "Trait " + results.traits[static_cast<size_t>(t)].trait + ": " + error;
            continue;
        }
        // Covariates: the intercept and the leading principal components of these individuals.
        std::vector<double> covariates(static_cast<size_t>(n), 1.0);
        int covariateCount = 1;
        if (pcs > 0 && options.kinship == KinshipMethod::Centred) {
            // The centred kinship is Z Z' / markers: its leading eigenvectors are the principal
            // components (the values ascend, the largest last).
            for (int k = 0; k < std::min(pcs, n - 1); ++k) {
                const int column = n - 1 - k;
                if (eigen->values[static_cast<size_t>(column)] <= 1e-10)
                    break;
                for (int i = 0; i < n; ++i)
                    covariates.push_back(eigen->vector(i, column));
                ++covariateCount;
            }
            if (covariateCount - 1 < pcs)
                results.notes.push_back(formatText("%s: only %d principal components are taken as covariates; more would be collinear.",
                                                   {traitNames, covariateCount - 1}));
        } else if (pcs > 0) {
            PcaOptions pcaOptions;
            pcaOptions.components = pcs;
            pcaOptions.method = PcaOptions::Method::Full;
            std::string pcaError;
            if (const auto pca = computePca(dosages, pcaOptions, {}, &pcaError)) {
                for (int k = 0; k < pca->componentCount; ++k) {
                    if (pca->eigenvalues[static_cast<size_t>(k)] <= 1e-10)
                        break;
                    for (int i = 0; i < n; ++i)
                        covariates.push_back(pca->vector(i, k));
                    ++covariateCount;
                }
                if (covariateCount - 1 < pcs)
                    results.notes.push_back(formatText("%s: only %d principal components are taken as covariates; more would be collinear.",
                                                       {traitNames, covariateCount - 1}));
            }
        }
        std::vector<RotatedModel> models(set.traits.size());
        std::vector<int> active;
        for (size_t k = 0; k < set.traits.size(); ++k) {
            TraitModelResult &trait = results.traits[static_cast<size_t>(set.traits[k])];
            const auto null = fitNullModel(models[k], *eigen, set.values[k], covariates, covariateCount, options, &error);
            if (!null) {
                trait.message = "Trait " + trait.trait + ": " + error;
                continue;
            }
            trait.covariateCount = covariateCount;
            trait.null = *null;
            trait.analysed = true;
            active.push_back(static_cast<int>(k));
        }
        doneWork += static_cast<long long>(results.markers.size());
        if (!step(0))
            return std::nullopt;

        const std::vector<int> markerIndex = globalMarkerIndices(dosages, groupStart);
        const int m = dosages.markerCount();
        std::vector<double> raw(static_cast<size_t>(n) * BlockMarkers), rotated(raw.size());
        std::vector<float> singleU, singleIn, singleOut;
        if (single) {
            singleU.assign(eigen->vectors.begin(), eigen->vectors.end());
            singleIn.resize(raw.size());
            singleOut.resize(raw.size());
        }
        std::vector<std::vector<std::optional<WaldTest>>> blockTests(set.traits.size(), std::vector<std::optional<WaldTest>>(BlockMarkers));
        const unsigned threads = std::max(1u, std::min(2u, std::thread::hardware_concurrency()));
        for (int first = 0; first < m; first += BlockMarkers) {
            const int count = std::min(BlockMarkers, m - first);
            dosages.block(first, count, DosageMatrix::Scaling::Raw, raw.data());
            if (single) {
                const size_t cells = static_cast<size_t>(n) * static_cast<size_t>(count);
                std::copy(raw.begin(), raw.begin() + static_cast<std::ptrdiff_t>(cells), singleIn.begin());
                cblas_sgemm(CblasColMajor, CblasTrans, CblasNoTrans, n, count, n, 1.0f, singleU.data(), n, singleIn.data(), n, 0.0f,
                            singleOut.data(), n);
                std::copy(singleOut.begin(), singleOut.begin() + static_cast<std::ptrdiff_t>(cells), rotated.begin());
            } else {
                models.front().rotate(raw.data(), count, rotated.data());
            }
            for (const int k : active) {
                const RotatedModel &model = models[static_cast<size_t>(k)];
                const TraitModelResult &trait = results.traits[static_cast<size_t>(set.traits[static_cast<size_t>(k)])];
                const std::optional<double> fixed = options.p3d ? std::optional<double>(trait.null.lambda) : std::nullopt;
                if (fixed) {
                    models[static_cast<size_t>(k)].testBlockAt(rotated.data(), count, *fixed, blockTests[static_cast<size_t>(k)].data());
                    continue;
                }
                std::atomic<int> next{0};
                auto work = [&] {
                    for (int j = next++; j < count; j = next++)
                        blockTests[static_cast<size_t>(k)][static_cast<size_t>(j)] =
                            model.testRotated(rotated.data() + static_cast<size_t>(j) * static_cast<size_t>(n), options, fixed);
                };
                std::vector<std::thread> pool;
                for (unsigned t = 1; t < threads && count > 8; ++t)
                    pool.emplace_back(work);
                work();
                for (std::thread &thread : pool)
                    thread.join();
            }
            for (const int k : active) {
                TraitModelResult &trait = results.traits[static_cast<size_t>(set.traits[static_cast<size_t>(k)])];
                for (int j = 0; j < count; ++j) {
                    const auto &test = blockTests[static_cast<size_t>(k)][static_cast<size_t>(j)];
                    if (test)
                        trait.tests.push_back({markerIndex[static_cast<size_t>(first + j)], *test});
                    else
                        ++trait.collinearMarkers;
                }
            }
            if (!step(static_cast<long long>(first + count) * static_cast<long long>(set.traits.size())))
                return std::nullopt;
        }
        doneWork += static_cast<long long>(results.markers.size()) * static_cast<long long>(set.traits.size());
        for (const int k : active) {
            const TraitModelResult &trait = results.traits[static_cast<size_t>(set.traits[static_cast<size_t>(k)])];
            if (trait.collinearMarkers > 0)
                results.notes.push_back(formatText("%s: %d markers are collinear with the covariates and are not tested.",
                                                   {trait.trait, trait.collinearMarkers}));
        }
    }
    if (progress)
        progress(totalWork, std::max(1LL, totalWork));
    return results;
}

std::string MixedModelResults::resultsText() const
{
    std::string text = "trait\tgroup\tlocus\tposition\tbeta\tse\tp\tlambda\tminus_log10_p\n";
    for (const TraitModelResult &trait : traits)
        for (const MarkerTest &test : trait.tests) {
            const DosageMatrix::MarkerInfo &marker = markers[static_cast<size_t>(test.marker)];
            text += trait.trait + "\t" + groupNames[static_cast<size_t>(marker.group)] + "\t" + marker.name + "\t"
                    + formatText("%g\t%g\t%g\t%g\t%g\t%g\n",
                                 {marker.position, test.test.beta, test.test.se, test.test.p, test.test.lambda, test.test.minusLog10P});
        }
    return text;
}

} // namespace rvk
