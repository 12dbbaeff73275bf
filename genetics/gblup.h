#pragma once
// Genomic prediction (GBLUP): breeding values of every analysed individual from those with a
// trait value, under the model of the mixed-model association without a marker,
//     y = 1 a + u + e,   u ~ N(0, lambda / tau K),   e ~ N(0, 1 / tau I),
// lambda by REML on the individuals with values (the same kinship, the same REML as the
// association). The breeding value of individual i is u_i = lambda K(i, T) H_T^-1 (y_T - 1 a),
// T the individuals with values and H_T = lambda K(T, T) + I: the deviation from the trait's
// mean that its relatedness predicts.
//
// k-fold cross-validation (seeded, so a run can be repeated) reports the accuracy: for each
// fold the correlation of the predicted and observed values of its held-out individuals, the
// model fitted on the other folds; the accuracy is the mean over the folds.

#include "genetics/dosagematrix.h"
#include "genetics/kinship.h"
#include "genetics/mixedmodel.h"

#include <optional>
#include <string>
#include <vector>

namespace rvk {

class GenotypeData;
class TraitTable;

struct GblupOptions
{
    int folds = 5;           // 0 or 1: no cross-validation
    unsigned seed = 1;
    KinshipMethod kinship = KinshipMethod::Centred;
};

struct TraitPrediction
{
    std::string trait;
    bool analysed = false;
    std::string message;            // why not
    int trainingCount = 0;          // individuals with a value
    RemlFit fit;
    double intercept = 0.0;
    std::vector<double> gebv;       // per individual of the kinship
    std::vector<double> foldAccuracy; // per fold with at least 3 held-out individuals
    double accuracy = 0.0;          // mean of foldAccuracy (0 without cross-validation)
};

// Breeding values of every row of kinship from the rows in training with values y.
// Nothing (reason in error) when the model cannot be fitted.
std::optional<TraitPrediction> predictBreedingValues(const KinshipMatrix &kinship, const std::vector<int> &training, const std::vector<double> &y,
                                                     std::string *error);

// The folds of n individuals: fold f holds the positions whose entry is f, assigned at random
// with the seed but in equal numbers (sizes differ by at most one).
std::vector<int> crossValidationFolds(int n, int folds, unsigned seed);

// Cross-validation of one trait: fills prediction's foldAccuracy and accuracy.
void crossValidate(const KinshipMatrix &kinship, const std::vector<int> &training, const std::vector<double> &y, int folds, unsigned seed,
                   TraitPrediction &prediction);

struct GblupResults
{
    std::vector<int> individuals; // the data set's indices of the kinship's rows
    std::vector<std::string> names;
    std::vector<TraitPrediction> traits;
    std::vector<std::string> notes;

    // "individual", then "<trait>_gebv" per analysed trait; one line per individual.
    std::string gebvText() const;
};

// Every trait of the table over the data set's selected individuals. Nothing when progress
// asked to stop.
std::optional<GblupResults> runGblup(const GenotypeData &data, const TraitTable &traits, const GblupOptions &options,
                                     const PanelProgress &progress = {});

} // namespace rvk
