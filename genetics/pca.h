#pragma once
// Principal components of the analysed individuals: the eigenvectors of Z Z' for the dosage
// matrix Z centred per marker (optionally standardised as PLINK 2 does), missing dosages at the
// marker's mean. The first k components with their eigenvalues (of Z Z' / markers, as PLINK 2
// and GEMMA's kinship give them), their share of the total variance and the individuals' scores.
//
// For large panels a truncated method (block Krylov iterations on Z Z' with Rayleigh-Ritz
// extraction, run until every wanted eigenpair's residual is below 1e-12 of the largest
// eigenvalue) gives the leading eigenvectors without the full decomposition; small panels take
// LAPACK's decomposition of the wanted range.

#include "genetics/dosagematrix.h"

#include <optional>
#include <string>
#include <vector>

namespace rvk {

struct PcaOptions
{
    enum class Method { Automatic, Full, Truncated };
    int components = 10;
    bool standardise = false;
    Method method = Method::Automatic;
};

struct PcaResult
{
    int individualCount = 0;
    int componentCount = 0;
    int markerCount = 0;
    std::vector<int> individuals;      // the data set's index of each row
    std::vector<double> eigenvalues;   // largest first, of Z Z' / markers
    std::vector<double> varianceShare; // eigenvalue / sum of all eigenvalues
    std::vector<double> vectors;       // column-major individualCount x componentCount, unit length
    bool truncated = false;            // made by the truncated method
    int iterations = 0;                // its block steps

    // Unit eigenvector entry, and the score (projection of the individual on the component's
    // axis: eigenvector x sqrt(eigenvalue x markers)).
    double vector(int row, int k) const { return vectors[static_cast<size_t>(k) * static_cast<size_t>(individualCount) + static_cast<size_t>(row)]; }
    double score(int row, int k) const;
};

// The components, or nothing when progress asked to stop or (reason in error) when there is
// nothing to compute: fewer than 2 individuals or no marker that varies. At most n - 1
// components (the centred matrix has no more).
std::optional<PcaResult> computePca(const DosageMatrix &dosages, const PcaOptions &options, const PanelProgress &progress = {},
                                    std::string *error = nullptr);

// The tab-separated table of the scores: "individual", "PC1" ... then one line per individual;
// and the table of the components: "component", "eigenvalue", "variance share".
std::string pcaScoreText(const PcaResult &pca, const std::vector<std::string> &names);
std::string pcaVarianceText(const PcaResult &pca);

} // namespace rvk
