#include "genetics/kinship.h"

#include "core/textformat.h"

#include <algorithm>
#include <cblas.h>
#include <cmath>
#include <lapacke.h>

namespace rvk {

namespace {

// Markers per block of the products: a block of 3,000 individuals is about 24 MB.
constexpr int BlockMarkers = 1024;

void mirrorLower(std::vector<double> &values, int n)
{
    const size_t size = static_cast<size_t>(n);
    for (size_t j = 0; j < size; ++j)
        for (size_t i = j + 1; i < size; ++i)
            values[i * size + j] = values[j * size + i]; // column-major lower -> upper half
}

bool centredKinship(const DosageMatrix &dosages, KinshipMatrix &result, const PanelProgress &progress, bool singlePrecision)
{
    if (!dosageGram(dosages, DosageMatrix::Scaling::Centred, result.values, progress, singlePrecision))
        return false;
    if (const int m = dosages.markerCount(); m > 0)
        for (double &v : result.values)
            v /= m;
    return true;
}

bool ibsKinship(const DosageMatrix &dosages, KinshipMatrix &result, const PanelProgress &progress)
{
    const int n = dosages.individualCount(), m = dosages.markerCount();
    const size_t cells = static_cast<size_t>(n) * BlockMarkers;
    std::vector<double> a(cells), h(cells), b(cells), o(cells);
    // S = 2 O O' - (M + M'), M = A H' + H B' + 2 A B': twice the alleles shared over the markers
    // called in both; O O' counts those markers.
    std::vector<double> shared(static_cast<size_t>(n) * static_cast<size_t>(n), 0.0), called(shared.size(), 0.0);
    for (int first = 0; first < m; first += BlockMarkers) {
        const int count = std::min(BlockMarkers, m - first);
        for (int j = 0; j < count; ++j)
            for (int i = 0; i < n; ++i) {
                const size_t at = static_cast<size_t>(j) * static_cast<size_t>(n) + static_cast<size_t>(i);
                const int d = dosages.dosage(i, first + j);
                a[at] = d == 0;
                h[at] = d == 1;
                b[at] = d == 2;
                o[at] = d != DosageMatrix::Missing;
            }
        cblas_dsyrk(CblasColMajor, CblasLower, CblasNoTrans, n, count, 1.0, o.data(), n, 1.0, called.data(), n);
        cblas_dgemm(CblasColMajor, CblasNoTrans, CblasTrans, n, n, count, 1.0, a.data(), n, h.data(), n, 1.0, shared.data(), n);
        cblas_dgemm(CblasColMajor, CblasNoTrans, CblasTrans, n, n, count, 1.0, h.data(), n, b.data(), n, 1.0, shared.data(), n);
        cblas_dgemm(CblasColMajor, CblasNoTrans, CblasTrans, n, n, count, 2.0, a.data(), n, b.data(), n, 1.0, shared.data(), n);
        if (progress && !progress(first + count, m))
            return false;
    }
    mirrorLower(called, n);
    const size_t size = static_cast<size_t>(n);
    for (size_t i = 0; i < size; ++i)
        for (size_t j = 0; j < size; ++j) {
            const double pairs = called[i * size + j];
            const double distance = shared[i * size + j] + shared[j * size + i];
            result.values[i * size + j] = pairs > 0.0 ? (2.0 * pairs - distance) / (2.0 * pairs) : 0.0;
        }
    return true;
}

} // namespace

std::optional<KinshipMethod> kinshipMethodNamed(const std::string &name)
{
    if (name == "centred" || name == "centered")
        return KinshipMethod::Centred;
    if (name == "ibs")
        return KinshipMethod::Ibs;
    return std::nullopt;
}

std::string kinshipMethodName(KinshipMethod method)
{
    return method == KinshipMethod::Ibs ? "ibs" : "centred";
}

std::optional<KinshipMatrix> computeKinship(const DosageMatrix &dosages, KinshipMethod method, const PanelProgress &progress,
                                           bool singlePrecision)
{
    KinshipMatrix result;
    result.method = method;
    result.size = dosages.individualCount();
    result.markerCount = dosages.markerCount();
    result.individuals = dosages.individuals();
    result.values.assign(static_cast<size_t>(result.size) * static_cast<size_t>(result.size), 0.0);
    if (result.size == 0)
        return result;
    const bool done = method == KinshipMethod::Centred ? centredKinship(dosages, result, progress, singlePrecision) : ibsKinship(dosages, result, progress);
    if (!done)
        return std::nullopt;
    return result;
}

KinshipMatrix kinshipSubset(const KinshipMatrix &kinship, const std::vector<int> &rows)
{
    KinshipMatrix result;
    result.method = kinship.method;
    result.size = static_cast<int>(rows.size());
    result.markerCount = kinship.markerCount;
    result.values.resize(rows.size() * rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        if (static_cast<size_t>(rows[i]) < kinship.individuals.size())
            result.individuals.push_back(kinship.individuals[static_cast<size_t>(rows[i])]);
        for (size_t j = 0; j < rows.size(); ++j)
            result.values[i * rows.size() + j] = kinship.at(rows[i], rows[j]);
    }
    return result;
}

std::vector<std::pair<int, int>> identicalKinshipRows(const KinshipMatrix &kinship, int limit)
{
    std::vector<std::pair<int, int>> pairs;
    const int n = kinship.size;
    for (int i = 0; i < n && static_cast<int>(pairs.size()) < limit; ++i)
        for (int j = i + 1; j < n && static_cast<int>(pairs.size()) < limit; ++j) {
            // Equal rows show in the 2 x 2 block: K_ii = K_jj = K_ij.
            const double scale = std::max({std::abs(kinship.at(i, i)), std::abs(kinship.at(j, j)), 1e-300});
            if (std::abs(kinship.at(i, i) - kinship.at(i, j)) <= 1e-9 * scale && std::abs(kinship.at(j, j) - kinship.at(i, j)) <= 1e-9 * scale)
                pairs.emplace_back(i, j);
        }
    return pairs;
}

std::vector<int> treeOrder(const std::vector<std::string> &names, const std::vector<std::string> &leafLabels)
{
    std::vector<int> order;
    std::vector<char> placed(names.size(), 0);
    for (const std::string &label : leafLabels)
        for (size_t i = 0; i < names.size(); ++i)
            if (!placed[i] && names[i] == label) {
                order.push_back(static_cast<int>(i));
                placed[i] = 1;
                break;
            }
    if (order.empty())
        return {};
    for (size_t i = 0; i < names.size(); ++i)
        if (!placed[i])
            order.push_back(static_cast<int>(i));
    return order;
}

std::string kinshipText(const KinshipMatrix &kinship, const std::vector<std::string> &names)
{
    std::string text;
    for (int i = 0; i < kinship.size; ++i)
        text += "\t" + names[static_cast<size_t>(i)];
    text += '\n';
    for (int i = 0; i < kinship.size; ++i) {
        text += names[static_cast<size_t>(i)];
        for (int j = 0; j < kinship.size; ++j)
            text += "\t" + formatText("%g", {kinship.at(i, j)});
        text += '\n';
    }
    return text;
}

std::optional<KinshipEigen> decomposeKinship(const KinshipMatrix &kinship, std::string *error, bool singlePrecision)
{
    KinshipEigen eigen;
    eigen.size = kinship.size;
    eigen.values.assign(static_cast<size_t>(kinship.size), 0.0);
    if (kinship.size == 0)
        return eigen;
    lapack_int info = 0;
    if (singlePrecision) {
        std::vector<float> vectors(kinship.values.begin(), kinship.values.end()), values(eigen.values.size());
        // The work arrays of the documented sizes: the size query answers in single precision,
        // too coarse from about 2,900 individuals on.
        const size_t n = static_cast<size_t>(kinship.size);
        std::vector<float> work(1 + 6 * n + 2 * n * n);
        std::vector<lapack_int> integerWork(3 + 5 * n);
        info = LAPACKE_ssyevd_work(LAPACK_COL_MAJOR, 'V', 'L', kinship.size, vectors.data(), kinship.size, values.data(), work.data(),
                                   static_cast<lapack_int>(work.size()), integerWork.data(), static_cast<lapack_int>(integerWork.size()));
        eigen.vectors.assign(vectors.begin(), vectors.end());
        eigen.values.assign(values.begin(), values.end());
    } else {
        eigen.vectors = kinship.values;
        info = LAPACKE_dsyevd(LAPACK_COL_MAJOR, 'V', 'L', kinship.size, eigen.vectors.data(), kinship.size, eigen.values.data());
    }
    if (info != 0) {
        if (error)
            *error = formatText("The eigendecomposition of the kinship failed (LAPACK %s: %d).", {singlePrecision ? "ssyevd" : "dsyevd", static_cast<int>(info)});
        return std::nullopt;
    }
    for (double &value : eigen.values)
        if (std::abs(value) < 1e-10) {
            value = 0.0;
            ++eigen.zeroCount;
        }
    return eigen;
}

} // namespace rvk
