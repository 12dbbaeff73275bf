#include "genetics/dosagematrix.h"

#include "core/genotypedata.h"
#include "core/textformat.h"

#include <algorithm>
#include <cblas.h>
#include <cmath>

// OpenBLAS's own functions, absent from other BLAS libraries.
extern "C" {
char *openblas_get_corename(void) __attribute__((weak));
int openblas_get_num_threads(void) __attribute__((weak));
}

namespace rvk {

int dosageOfCode(char code)
{
    switch (code) {
    case 'A':
        return 0;
    case 'H':
        return 1;
    case 'B':
        return 2;
    default:
        return DosageMatrix::Missing;
    }
}

void DosageMatrix::appendMarker(const std::vector<std::uint8_t> &calls, MarkerInfo info)
{
    int first = Missing;
    bool varies = false;
    long sum = 0;
    int missing = 0;
    for (const std::uint8_t call : calls) {
        if (call == Missing) {
            ++missing;
            continue;
        }
        sum += call;
        if (first == Missing)
            first = call;
        else if (call != first)
            varies = true;
    }
    if (!varies) {
        ++mLeftOut;
        return;
    }
    const size_t at = mCalls.size();
    mCalls.resize(at + mBytesPerMarker, 0);
    for (size_t i = 0; i < calls.size(); ++i)
        mCalls[at + (i >> 2)] |= static_cast<std::uint8_t>(calls[i] << ((i & 3) * 2));
    mMarkers.push_back(std::move(info));
    mMean.push_back(static_cast<double>(sum) / static_cast<double>(static_cast<int>(calls.size()) - missing));
    mMissing.push_back(missing);
}

DosageMatrix DosageMatrix::fromGenotypes(const GenotypeData &data, const std::vector<int> &individuals)
{
    DosageMatrix matrix;
    matrix.mIndividuals = static_cast<int>(individuals.size());
    matrix.mBytesPerMarker = (individuals.size() + 3) / 4;
    matrix.mIndividualIndex = individuals;
    const bool twoCodes = data.IsCrossPollinator();
    std::vector<std::uint8_t> calls(individuals.size());
    for (int g = 0; g < data.GroupCount(); ++g) {
        const auto &loci = data.GroupLoci(g);
        for (size_t l = 0; l < loci.size(); ++l) {
            const std::string &codes = loci[l].Genotypes;
            for (size_t i = 0; i < individuals.size(); ++i) {
                const size_t at = static_cast<size_t>(individuals[i]);
                calls[i] = static_cast<std::uint8_t>(twoCodes || at >= codes.size() ? Missing : dosageOfCode(codes[at]));
            }
            matrix.appendMarker(calls, {g, static_cast<int>(l), loci[l].Name, loci[l].Position});
        }
    }
    return matrix;
}

DosageMatrix DosageMatrix::fromRows(const std::vector<std::vector<int>> &rows, std::vector<MarkerInfo> infos)
{
    DosageMatrix matrix;
    matrix.mIndividuals = static_cast<int>(rows.size());
    matrix.mBytesPerMarker = (rows.size() + 3) / 4;
    for (int i = 0; i < matrix.mIndividuals; ++i)
        matrix.mIndividualIndex.push_back(i);
    const size_t markers = rows.empty() ? infos.size() : rows.front().size();
    std::vector<std::uint8_t> calls(rows.size());
    for (size_t m = 0; m < markers; ++m) {
        for (size_t i = 0; i < rows.size(); ++i) {
            const int value = m < rows[i].size() ? rows[i][m] : Missing;
            calls[i] = static_cast<std::uint8_t>(value >= 0 && value <= 2 ? value : Missing);
        }
        MarkerInfo info = m < infos.size() ? infos[m] : MarkerInfo{0, static_cast<int>(m), "m" + std::to_string(m + 1), static_cast<double>(m)};
        matrix.appendMarker(calls, std::move(info));
    }
    return matrix;
}

DosageMatrix DosageMatrix::subset(const std::vector<int> &rows) const
{
    DosageMatrix matrix;
    matrix.mIndividuals = static_cast<int>(rows.size());
    matrix.mBytesPerMarker = (rows.size() + 3) / 4;
    for (const int r : rows)
        matrix.mIndividualIndex.push_back(mIndividualIndex[static_cast<size_t>(r)]);
    matrix.mLeftOut = mLeftOut;
    std::vector<std::uint8_t> calls(rows.size());
    for (int m = 0; m < markerCount(); ++m) {
        for (size_t i = 0; i < rows.size(); ++i)
            calls[i] = static_cast<std::uint8_t>(dosage(rows[i], m));
        matrix.appendMarker(calls, mMarkers[static_cast<size_t>(m)]);
    }
    return matrix;
}

std::string DosageMatrix::note() const
{
    if (mLeftOut == 0)
        return {};
    return formatText("%d of %d markers do not vary among the %d individuals and are left out.", {mLeftOut, examinedCount(), mIndividuals});
}

void DosageMatrix::block(int first, int count, Scaling scaling, double *out) const
{
    const size_t n = static_cast<size_t>(mIndividuals);
    for (int j = 0; j < count; ++j) {
        const int m = first + j;
        const double mu = mean(m);
        double shift = 0.0, scale = 1.0, missingValue = mu;
        if (scaling != Scaling::Raw) {
            shift = mu;
            missingValue = 0.0;
            if (scaling == Scaling::Standardised) {
                const double p = mu / 2.0;
                const double sd = std::sqrt(2.0 * p * (1.0 - p));
                scale = sd > 0.0 ? 1.0 / sd : 0.0;
            }
        }
        // Four calls per byte, each an index into the values (3: missing).
        const double value[4] = {(0.0 - shift) * scale, (1.0 - shift) * scale, (2.0 - shift) * scale, missingValue};
        double *column = out + static_cast<size_t>(j) * n;
        const std::uint8_t *calls = mCalls.data() + static_cast<size_t>(m) * mBytesPerMarker;
        const size_t whole = n / 4;
        for (size_t k = 0; k < whole; ++k) {
            const unsigned byte = calls[k];
            column[4 * k] = value[byte & 3];
            column[4 * k + 1] = value[(byte >> 2) & 3];
            column[4 * k + 2] = value[(byte >> 4) & 3];
            column[4 * k + 3] = value[byte >> 6];
        }
        for (size_t i = whole * 4; i < n; ++i)
            column[i] = value[(calls[i >> 2] >> ((i & 3) * 2)) & 3];
    }
}

namespace {

void mirrorLower(double *g, size_t n)
{
    for (size_t j = 0; j < n; ++j)
        for (size_t i = j + 1; i < n; ++i)
            g[i * n + j] = g[j * n + i];
}

} // namespace

bool dosageGram(const DosageMatrix &dosages, DosageMatrix::Scaling scaling, std::vector<double> &g, const PanelProgress &progress,
                bool singlePrecision)
{
    const int n = dosages.individualCount(), m = dosages.markerCount();
    const size_t size = static_cast<size_t>(n);
    g.assign(size * size, 0.0);
    // Single precision sums blocks of few markers and adds them up in double.
    const int blockMarkers = singlePrecision ? 256 : 1024;
    std::vector<double> block(size * static_cast<size_t>(blockMarkers));
    std::vector<float> singleBlock(singlePrecision ? block.size() : 0), part(singlePrecision ? size * size : 0);
    for (int first = 0; first < m; first += blockMarkers) {
        const int count = std::min(blockMarkers, m - first);
        dosages.block(first, count, scaling, block.data());
        if (singlePrecision) {
            std::copy(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(size * static_cast<size_t>(count)), singleBlock.begin());
            cblas_ssyrk(CblasColMajor, CblasLower, CblasNoTrans, n, count, 1.0f, singleBlock.data(), n, 0.0f, part.data(), n);
            for (size_t j = 0; j < size; ++j)
                for (size_t i = j; i < size; ++i)
                    g[j * size + i] += part[j * size + i];
        } else {
            cblas_dsyrk(CblasColMajor, CblasLower, CblasNoTrans, n, count, 1.0, block.data(), n, 1.0, g.data(), n);
        }
        if (progress && !progress(first + count, m))
            return false;
    }
    mirrorLower(g.data(), size);
    return true;
}

std::string linearAlgebraDescription()
{
    const std::string core = openblas_get_corename ? openblas_get_corename() : "OpenBLAS";
    const int threads = openblas_get_num_threads ? openblas_get_num_threads() : 1;
    return formatText("%s, %d threads", {core, threads});
}

} // namespace rvk
