#include "genetics/pca.h"

#include "core/textformat.h"

#include <Eigen/Dense>
#include <algorithm>
#include <cblas.h>
#include <cmath>
#include <lapacke.h>
#include <functional>
#include <random>

namespace rvk {

namespace {

constexpr int BlockMarkers = 1024;

using Matrix = Eigen::MatrixXd;

// Z Z' of the scaled dosages (column-major n x n, both halves).
bool crossProduct(const DosageMatrix &dosages, bool standardise, Matrix &g, const PanelProgress &progress)
{
    const int n = dosages.individualCount();
    std::vector<double> values;
    if (!dosageGram(dosages, standardise ? DosageMatrix::Scaling::Standardised : DosageMatrix::Scaling::Centred, values,
                    [&](long long done, long long total) { return !progress || progress(done, 2 * total); }))
        return false;
    g = Eigen::Map<const Matrix>(values.data(), n, n);
    return true;
}

// The k leading eigenpairs by LAPACK's decomposition of that range.
bool fullEigen(Matrix g, int k, std::vector<double> &values, Matrix &vectors)
{
    const int n = static_cast<int>(g.rows());
    std::vector<double> w(static_cast<size_t>(n));
    Matrix z(n, k);
    std::vector<lapack_int> support(2 * static_cast<size_t>(k));
    lapack_int found = 0;
    const lapack_int info = LAPACKE_dsyevr(LAPACK_COL_MAJOR, 'V', 'I', 'L', n, g.data(), n, 0.0, 0.0, n - k + 1, n, 0.0, &found, w.data(),
                                           z.data(), n, support.data());
    if (info != 0 || found != k)
        return false;
    values.assign(static_cast<size_t>(k), 0.0);
    vectors.resize(n, k);
    for (int j = 0; j < k; ++j) { // LAPACK gives them ascending
        values[static_cast<size_t>(j)] = w[static_cast<size_t>(k - 1 - j)];
        vectors.col(j) = z.col(k - 1 - j);
    }
    return true;
}

// Block Krylov iterations with full reorthogonalisation and Rayleigh-Ritz extraction, restarted
// from the best Ritz vectors until the k leading residuals are below tolerance.
// X -> Z Z' X, without Z Z' itself.
using GramProduct = std::function<bool(const Matrix &x, Matrix &out)>;

bool truncatedEigen(int n, double largestDiagonal, const GramProduct &multiplyGram, int k, std::vector<double> &values, Matrix &vectors,
                    int &iterations, const PanelProgress &progress)
{
    const int blockSize = std::min(n, k + 8);
    const int maxBasis = std::min(n, std::max(blockSize * 12, 4 * k + 40));
    const double scale = std::max(largestDiagonal, 1e-300);
    const double tolerance = 1e-12;
    std::mt19937_64 random(12345);
    std::normal_distribution<double> normal;
    Matrix start(n, blockSize);
    for (Eigen::Index i = 0; i < start.size(); ++i)
        start.data()[i] = normal(random);
    iterations = 0;
    for (int restart = 0; restart < 60; ++restart) {
        Matrix basis(n, 0), image(n, 0), x = start, gx;
        Eigen::HouseholderQR<Matrix> qr(x);
        x = qr.householderQ() * Matrix::Identity(n, x.cols());
        while (basis.cols() + x.cols() <= maxBasis) {
            if (!multiplyGram(x, gx))
                return false;
            ++iterations;
            const Eigen::Index at = basis.cols();
            basis.conservativeResize(n, at + x.cols());
            image.conservativeResize(n, at + x.cols());
            basis.rightCols(x.cols()) = x;
            image.rightCols(x.cols()) = gx;
            // The next block: G X made orthogonal to the basis (twice, for round-off).
            Matrix next = gx;
            for (int pass = 0; pass < 2; ++pass)
                next -= basis * (basis.transpose() * next);
            Eigen::HouseholderQR<Matrix> nextQr(next);
            const Matrix r = nextQr.matrixQR().topRows(next.cols()).triangularView<Eigen::Upper>();
            if (r.diagonal().cwiseAbs().maxCoeff() < 1e-13 * scale)
                break; // the basis holds an invariant subspace
            x = nextQr.householderQ() * Matrix::Identity(n, next.cols());
            for (int pass = 0; pass < 1; ++pass)
                x -= basis * (basis.transpose() * x);
            x = Eigen::HouseholderQR<Matrix>(x).householderQ() * Matrix::Identity(n, x.cols());
        }
        Matrix t = basis.transpose() * image;
        t = (t + t.transpose()) / 2.0;
        Eigen::SelfAdjointEigenSolver<Matrix> solver(t);
        const Eigen::Index size = t.rows();
        const int want = std::min<int>(blockSize, static_cast<int>(size));
        Matrix s(size, want);
        std::vector<double> theta(static_cast<size_t>(want));
        for (int j = 0; j < want; ++j) {
            s.col(j) = solver.eigenvectors().col(size - 1 - j);
            theta[static_cast<size_t>(j)] = solver.eigenvalues()(size - 1 - j);
        }
        const Matrix ritz = basis * s;
        const Matrix residual = image * s - ritz * Eigen::Map<Eigen::VectorXd>(theta.data(), want).asDiagonal();
        bool converged = true;
        for (int j = 0; j < k; ++j)
            if (residual.col(j).norm() > tolerance * scale)
                converged = false;
        if (converged || basis.cols() >= n) {
            values.assign(theta.begin(), theta.begin() + k);
            vectors = ritz.leftCols(k);
            return true;
        }
        start = ritz;
    }
    return false; // not reached in practice; the caller falls back on LAPACK
}

} // namespace

double PcaResult::score(int row, int k) const
{
    return vector(row, k) * std::sqrt(std::max(0.0, eigenvalues[static_cast<size_t>(k)] * markerCount));
}

std::optional<PcaResult> computePca(const DosageMatrix &dosages, const PcaOptions &options, const PanelProgress &progress, std::string *error)
{
    const int n = dosages.individualCount();
    if (n < 2 || dosages.markerCount() == 0) {
        if (error)
            *error = n < 2 ? "Principal components need at least 2 individuals." : "No marker varies among the individuals: there are no principal components.";
        return std::nullopt;
    }
    const int k = std::clamp(options.components, 1, n - 1);
    PcaResult result;
    result.individualCount = n;
    result.componentCount = k;
    result.markerCount = dosages.markerCount();
    result.individuals = dosages.individuals();
    const bool truncated = options.method == PcaOptions::Method::Truncated
                           || (options.method == PcaOptions::Method::Automatic && n > 400 && 4 * k < n);
    std::vector<double> values;
    Matrix vectors;
    bool done = false;
    double trace = 0.0;
    const auto scaling = options.standardise ? DosageMatrix::Scaling::Standardised : DosageMatrix::Scaling::Centred;
    if (truncated) {
        // The large panels: Z Z' X block of markers by block, never Z Z' (n x n x markers).
        const int m = dosages.markerCount();
        Eigen::VectorXd diagonal = Eigen::VectorXd::Zero(n);
        std::vector<double> buffer(static_cast<size_t>(n) * BlockMarkers);
        for (int first = 0; first < m; first += BlockMarkers) {
            const int count = std::min(BlockMarkers, m - first);
            dosages.block(first, count, scaling, buffer.data());
            diagonal += Eigen::Map<const Matrix>(buffer.data(), n, count).rowwise().squaredNorm();
        }
        trace = diagonal.sum();
        long long steps = 0;
        const GramProduct multiplyGram = [&](const Matrix &x, Matrix &out) {
            out = Matrix::Zero(n, x.cols());
            Matrix inner(BlockMarkers, x.cols());
            const int b = static_cast<int>(x.cols());
            for (int first = 0; first < m; first += BlockMarkers) {
                const int count = std::min(BlockMarkers, m - first);
                dosages.block(first, count, scaling, buffer.data());
                cblas_dgemm(CblasColMajor, CblasTrans, CblasNoTrans, count, b, n, 1.0, buffer.data(), n, x.data(), n, 0.0, inner.data(),
                            BlockMarkers);
                cblas_dgemm(CblasColMajor, CblasNoTrans, CblasNoTrans, n, b, count, 1.0, buffer.data(), n, inner.data(), BlockMarkers, 1.0,
                            out.data(), n);
            }
            ++steps;
            return !progress || progress(std::min(steps, 23LL), 24);
        };
        done = truncatedEigen(n, diagonal.maxCoeff(), multiplyGram, k, values, vectors, result.iterations, progress);
        if (!done && progress && !progress(23, 24))
            return std::nullopt;
        result.truncated = done;
    }
    if (!done) {
        Matrix g;
        if (!crossProduct(dosages, options.standardise, g, progress))
            return std::nullopt;
        trace = g.trace();
        if (!fullEigen(g, k, values, vectors)) {
            if (error)
                *error = "The eigendecomposition of the principal components failed.";
            return std::nullopt;
        }
    }
    const double m = result.markerCount;
    for (int j = 0; j < k; ++j) {
        // The same sign whatever the method: the entry largest in size is positive.
        Eigen::Index largest = 0;
        vectors.col(j).cwiseAbs().maxCoeff(&largest);
        if (vectors(largest, j) < 0.0)
            vectors.col(j) = -vectors.col(j);
        const double value = std::max(0.0, values[static_cast<size_t>(j)]);
        result.eigenvalues.push_back(value / m);
        result.varianceShare.push_back(trace > 0.0 ? value / trace : 0.0);
    }
    result.vectors.assign(vectors.data(), vectors.data() + vectors.size());
    if (progress)
        progress(1, 1);
    return result;
}

std::string pcaScoreText(const PcaResult &pca, const std::vector<std::string> &names)
{
    std::string text = "individual";
    for (int k = 0; k < pca.componentCount; ++k)
        text += formatText("\tPC%d", {k + 1});
    text += '\n';
    for (int i = 0; i < pca.individualCount; ++i) {
        text += names[static_cast<size_t>(i)];
        for (int k = 0; k < pca.componentCount; ++k)
            text += "\t" + formatText("%g", {pca.score(i, k)});
        text += '\n';
    }
    return text;
}

std::string pcaVarianceText(const PcaResult &pca)
{
    std::string text = "component\teigenvalue\tvariance share\n";
    for (int k = 0; k < pca.componentCount; ++k)
        text += formatText("PC%d\t%g\t%g\n", {k + 1, pca.eigenvalues[static_cast<size_t>(k)], pca.varianceShare[static_cast<size_t>(k)]});
    return text;
}

} // namespace rvk
