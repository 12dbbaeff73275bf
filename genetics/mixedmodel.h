#pragma once
// Mixed-model association per trait: the univariate linear mixed model
//     y = W a + x b + u + e,   u ~ N(0, lambda / tau K),   e ~ N(0, 1 / tau I)
// with the intercept (and optionally the first principal components) as covariates W and the
// kinship K of the trait's own individuals (those with a value). The default is GEMMA's exact
// test (-lmm 1): lambda is estimated by REML for every marker and the marker's effect b tested
// by a Wald test with n - c - 1 degrees of freedom. The faster approximation (EMMAX, P3D)
// estimates lambda once under the null model and keeps it for every marker.
//
// Computation as GEMMA does it: K = U D U' is decomposed once per set of individuals (shared by
// the traits that have the same individuals); y, the covariates and every marker's dosages
// (missing at the mean) are rotated by U', which makes H = lambda K + I diagonal; the REML
// likelihood of lambda is searched in 10 intervals of log lambda between 1e-5 and 1e5 for
// sign changes of its derivative, each refined by Brent's method, the best of these and the
// two ends kept.

#include "genetics/dosagematrix.h"
#include "genetics/kinship.h"

#include <optional>
#include <string>
#include <vector>

namespace rvk {

class GenotypeData;
class TraitTable;

// A trait needs at least this many individuals with a value.
inline constexpr int MinimumTraitValues = 10;

struct MixedModelOptions
{
    bool p3d = false;      // lambda once under the null model (EMMAX/P3D)
    int pcs = 0;           // principal components as covariates besides the intercept
    KinshipMethod kinship = KinshipMethod::Centred;
    // The markers' rotation U' X, the largest product of the run, in single precision (twice as
    // fast; the tests stay within GEMMA's -log10 p by far): automatic from 1,000 individuals.
    enum class Precision { Automatic, Double, Single };
    Precision rotation = Precision::Automatic;
    double lambdaMin = 1e-5;
    double lambdaMax = 1e5;
    int regions = 10;
};

// The REML estimate of lambda and what goes with it.
struct RemlFit
{
    double lambda = 0.0;
    double logLikelihood = 0.0; // restricted log-likelihood, GEMMA's constants
    double vg = 0.0;            // lambda / tau
    double ve = 0.0;            // 1 / tau
};

// A marker's Wald test.
struct WaldTest
{
    double beta = 0.0;
    double se = 0.0;
    double p = 1.0;
    double minusLog10P = 0.0;
    double lambda = 0.0;
};

// The model of one trait over given individuals: the kinship's decomposition, the trait's
// values and the covariates (column-major n x c, the intercept among them), rotated once.
// The building block of the analysis; the tests use it directly.
class RotatedModel
{
public:
    // False (reason in error) when the covariates are collinear or the sizes do not fit.
    bool setUp(const KinshipEigen &eigen, const std::vector<double> &y, const std::vector<double> &covariates, int covariateCount,
               std::string *error);

    int individualCount() const { return mN; }
    int covariateCount() const { return mC; }

    // The REML log-likelihood of the null model (no marker) at lambda, and its estimate.
    double nullLogLikelihood(double lambda) const;
    RemlFit fitNull(const MixedModelOptions &options) const;
    // A marker's test from its rotated dosages (U' x): lambda by REML, or the given lambda when
    // fixedLambda is set. Nothing when the marker is collinear with the covariates (r2 > 0.9999
    // as GEMMA's filter) or the numbers do not hold.
    std::optional<WaldTest> testRotated(const double *rotatedX, const MixedModelOptions &options, std::optional<double> fixedLambda) const;
    // The tests of a block of rotated markers (column-major n x count) at a fixed lambda: the
    // same numbers as testRotated with fixedLambda, for a fraction of the work.
    void testBlockAt(const double *rotatedX, int count, double lambda, std::optional<WaldTest> *out) const;

    // The GLS coefficients of the covariates at lambda (null model) and H^-1 (y - W a) in the
    // individuals' own coordinates: what a BLUP of the random effect needs.
    bool nullResiduals(double lambda, std::vector<double> &coefficients, std::vector<double> &weightedResiduals) const;

    // Rotates a block of columns (column-major n x count): out = U' in.
    void rotate(const double *in, int count, double *out) const;

private:
    friend struct ModelEvaluation;
    // GEMMA's filter of a marker collinear with the covariates, from W' x and x' x.
    bool collinear(const double *wx, double xx) const;

    int mN = 0, mC = 0;
    std::vector<double> mCovariateInverse; // (W' W)^-1, c x c
    const KinshipEigen *mEigen = nullptr;
    std::vector<double> mColumns; // column-major n x (c + 1): the rotated covariates, then y
};

// One tested marker of a trait.
struct MarkerTest
{
    int marker = 0; // index into MixedModelResults::markers
    WaldTest test;
};

struct TraitModelResult
{
    std::string trait;
    bool analysed = false;
    std::string message;            // why the trait was not analysed
    std::vector<int> individuals;   // the data set's indices of its individuals
    int covariateCount = 0;
    RemlFit null;
    std::vector<MarkerTest> tests;  // in marker order
    int collinearMarkers = 0;       // markers left out as collinear with the covariates
};

struct MixedModelResults
{
    bool p3d = false;
    std::vector<DosageMatrix::MarkerInfo> markers; // every locus of the data set, group order
    std::vector<std::string> groupNames;
    std::vector<TraitModelResult> traits;
    std::vector<std::string> notes;                // markers left out, duplicates, covariates

    // The tab-separated results: "trait", "group", "locus", "position", "beta", "se", "p",
    // "lambda", "minus_log10_p", one line per trait and tested marker, numbers in full precision.
    std::string resultsText() const;
};

// The individuals of trait row (1-based) of the trait table: those of the data set that count as
// selected and have a numeric value in the trait's column named like them. Values in values.
// False with a message in error when a cell of such an individual is no number.
bool traitIndividuals(const GenotypeData &data, const TraitTable &traits, int row, std::vector<int> &individuals,
                      std::vector<double> &values, std::string *error);

// A trait of the table as the analyses take it: its name, the individuals with a value and the
// values, or the message why it is left out (a cell no number, fewer than MinimumTraitValues).
struct AnalysedTrait
{
    std::string name;
    std::vector<int> individuals;
    std::vector<double> values;
    std::string message;
};
AnalysedTrait analysedTrait(const GenotypeData &data, const TraitTable &traits, int row);

// The null model of a trait over the decomposed kinship of its individuals: y and the covariates
// rotated once into model, lambda by REML. The association and the genomic prediction set their
// models up through it. Nothing (reason in error) when the covariates are collinear or the sizes
// do not fit; model refers to eigen afterwards.
std::optional<RemlFit> fitNullModel(RotatedModel &model, const KinshipEigen &eigen, const std::vector<double> &y,
                                    const std::vector<double> &covariates, int covariateCount, const MixedModelOptions &options,
                                    std::string *error);

// Every trait of the table against every marker. Nothing when progress asked to stop; traits
// that cannot be analysed carry their message, the others go on.
std::optional<MixedModelResults> runMixedModel(const GenotypeData &data, const TraitTable &traits, const MixedModelOptions &options,
                                               const PanelProgress &progress = {});

// The genomic inflation factor lambda_GC: the median of the 1-df chi-square quantiles of the
// p-values over the chi-square median 0.454936. 1 for no p-values.
double genomicInflation(const std::vector<double> &pValues);

// The p threshold of the Bonferroni correction and of the FDR at level, as -log10 (NaN for no
// line: no p-values, or none passing the FDR).
double bonferroniLine(size_t tests, double level = 0.05);
double fdrLine(const std::vector<double> &pValues, double level = 0.05);

// P(F(1, df) > F) and its -log10, accurate far into the tail.
void waldPValue(double f, int df, double &p, double &minusLog10P);

} // namespace rvk
