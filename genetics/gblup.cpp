#include "genetics/gblup.h"

#include "core/genotypedata.h"
#include "core/textformat.h"
#include "genetics/traittable.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace rvk {

namespace {

double correlation(const std::vector<double> &a, const std::vector<double> &b)
{
    const double n = static_cast<double>(a.size());
    double ma = 0.0, mb = 0.0;
    for (size_t i = 0; i < a.size(); ++i) {
        ma += a[i];
        mb += b[i];
    }
    ma /= n;
    mb /= n;
    double sab = 0.0, saa = 0.0, sbb = 0.0;
    for (size_t i = 0; i < a.size(); ++i) {
        sab += (a[i] - ma) * (b[i] - mb);
        saa += (a[i] - ma) * (a[i] - ma);
        sbb += (b[i] - mb) * (b[i] - mb);
    }
    return saa > 0.0 && sbb > 0.0 ? sab / std::sqrt(saa * sbb) : std::numeric_limits<double>::quiet_NaN();
}

} // namespace

std::optional<TraitPrediction> predictBreedingValues(const KinshipMatrix &kinship, const std::vector<int> &training, const std::vector<double> &y,
                                                     std::string *error)
{
    const KinshipMatrix trainingKinship = kinshipSubset(kinship, training);
    const auto eigen = decomposeKinship(trainingKinship, error);
    if (!eigen)
        return std::nullopt;
    RotatedModel model;
    const auto fit = fitNullModel(model, *eigen, y, std::vector<double>(training.size(), 1.0), 1, {}, error);
    if (!fit)
        return std::nullopt;
    TraitPrediction prediction;
    prediction.trainingCount = static_cast<int>(training.size());
    prediction.fit = *fit;
    std::vector<double> coefficients, weights;
    if (!model.nullResiduals(prediction.fit.lambda, coefficients, weights)) {
        if (error)
            *error = "The model of the trait cannot be fitted.";
        return std::nullopt;
    }
    prediction.intercept = coefficients.front();
    prediction.gebv.assign(static_cast<size_t>(kinship.size), 0.0);
    for (int i = 0; i < kinship.size; ++i) {
        double sum = 0.0;
        for (size_t t = 0; t < training.size(); ++t)
            sum += kinship.at(i, training[t]) * weights[t];
        prediction.gebv[static_cast<size_t>(i)] = prediction.fit.lambda * sum;
    }
    prediction.analysed = true;
    return prediction;
}

std::vector<int> crossValidationFolds(int n, int folds, unsigned seed)
{
    std::vector<int> assignment(static_cast<size_t>(std::max(0, n)));
    for (int i = 0; i < n; ++i)
        assignment[static_cast<size_t>(i)] = i % std::max(1, folds);
    // Fisher-Yates with the generator's raw numbers, so the folds are the same on every platform.
    std::mt19937 random(seed);
    for (int i = n - 1; i > 0; --i)
        std::swap(assignment[static_cast<size_t>(i)], assignment[static_cast<size_t>(random() % static_cast<unsigned>(i + 1))]);
    return assignment;
}

void crossValidate(const KinshipMatrix &kinship, const std::vector<int> &training, const std::vector<double> &y, int folds, unsigned seed,
                   TraitPrediction &prediction)
{
    prediction.foldAccuracy.clear();
    prediction.accuracy = 0.0;
    if (folds < 2)
        return;
    const std::vector<int> assignment = crossValidationFolds(static_cast<int>(training.size()), folds, seed);
    for (int f = 0; f < folds; ++f) {
        std::vector<int> rest, held;
        std::vector<double> restY, heldY;
        for (size_t i = 0; i < training.size(); ++i) {
            if (assignment[i] == f) {
                held.push_back(training[i]);
                heldY.push_back(y[i]);
            } else {
                rest.push_back(training[i]);
                restY.push_back(y[i]);
            }
        }
        if (held.size() < 3 || rest.size() < 3)
            continue;
        const auto fold = predictBreedingValues(kinship, rest, restY, nullptr);
        if (!fold)
            continue;
        std::vector<double> predicted;
        for (const int i : held)
            predicted.push_back(fold->gebv[static_cast<size_t>(i)]);
        const double r = correlation(predicted, heldY);
        if (std::isfinite(r))
            prediction.foldAccuracy.push_back(r);
    }
    if (!prediction.foldAccuracy.empty()) {
        double sum = 0.0;
        for (const double r : prediction.foldAccuracy)
            sum += r;
        prediction.accuracy = sum / static_cast<double>(prediction.foldAccuracy.size());
    }
}

std::string GblupResults::gebvText() const
{
    std::string text = "individual";
    for (const TraitPrediction &trait : traits)
        if (trait.analysed)
            text += "\t" + trait.trait + "_gebv";
    text += '\n';
    for (size_t i = 0; i < individuals.size(); ++i) {
        text += names[i];
        for (const TraitPrediction &trait : traits)
            if (trait.analysed)
                text += "\t" + formatText("%g", {trait.gebv[i]});
        text += '\n';
    }
    return text;
}

std::optional<GblupResults> runGblup(const GenotypeData &data, const TraitTable &traits, const GblupOptions &options, const PanelProgress &progress)
{
    GblupResults results;
    for (int i = 0; i < data.nind; ++i)
        if (data.IsSelected(i)) {
            results.individuals.push_back(i);
            results.names.push_back(static_cast<size_t>(i) < data.IndividualNames.size() ? data.IndividualNames[static_cast<size_t>(i)]
                                                                                         : std::to_string(i + 1));
        }
    const DosageMatrix dosages = DosageMatrix::fromGenotypes(data, results.individuals);
    if (!dosages.note().empty())
        results.notes.push_back(dosages.note());
    const int traitCount = traits.traitCount();
    const auto step = [&](long long done) { return !progress || progress(done, traitCount + 1LL); };
    if (dosages.markerCount() == 0) {
        for (int row = 1; row <= traitCount; ++row) {
            TraitPrediction trait;
            trait.trait = traits.cell(0, row);
            trait.message = formatText("Trait %s: no marker varies among the %d individuals.", {trait.trait, dosages.individualCount()});
            results.traits.push_back(std::move(trait));
        }
        return results;
    }
    const auto kinship = computeKinship(dosages, options.kinship);
    if (!kinship || !step(1))
        return std::nullopt;
    for (int row = 1; row <= traitCount; ++row) {
        const AnalysedTrait values = analysedTrait(data, traits, row);
        TraitPrediction trait;
        trait.trait = values.name;
        trait.message = values.message;
        const std::vector<int> &individuals = values.individuals;
        std::string error;
        if (trait.message.empty()) {
            // The kinship's rows of the individuals with values.
            std::vector<int> training;
            for (const int i : individuals)
                training.push_back(static_cast<int>(std::lower_bound(results.individuals.begin(), results.individuals.end(), i)
                                                    - results.individuals.begin()));
            if (auto prediction = predictBreedingValues(*kinship, training, values.values, &error)) {
                prediction->trait = trait.trait;
                crossValidate(*kinship, training, values.values, options.folds, options.seed, *prediction);
                trait = std::move(*prediction);
            } else {
                trait.message = "Trait " + trait.trait + ": " + error;
            }
        }
        results.traits.push_back(std::move(trait));
        if (!step(row + 1))
            return std::nullopt;
    }
    return results;
}

} // namespace rvk
