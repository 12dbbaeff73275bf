// rvk-floor: the least work each heavy path must do, for bench/ratios to measure the program's
// commands against in the same run. Each mode is a whole process, as the command it stands for.
//
//   rvk-floor bytes FILE             one plain pass over the file's bytes, counting line ends
//   rvk-floor pairs FILE             open FILE, then for every pair of loci of group 1 a simple
//                                    loop over the individuals tallying their two codes
//   rvk-floor cells FILE TRAITS.qua  open FILE, read the traits, then for every locus and trait a
//                                    simple loop over the individuals summing code and value
//   rvk-floor individuals FILE       open FILE, then for every locus a simple loop over the pairs
//                                    of individuals counting equal codes
#include "core/dataloader.h"
#include "core/genotypedata.h"
#include "core/userinterface.h"
#include "settings/alleletable.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: rvk-floor bytes FILE | pairs FILE | cells FILE TRAITS.qua | individuals FILE\n");
    return 2;
}

long long bytePass(const char *path)
{
    FILE *file = std::fopen(path, "rb");
    if (!file)
        return -1;
    std::vector<char> buffer(1 << 20);
    long long lines = 0;
    for (;;) {
        const size_t n = std::fread(buffer.data(), 1, buffer.size(), file);
        if (n == 0)
            break;
        for (size_t i = 0; i < n; ++i)
            lines += buffer[i] == '\n';
    }
    std::fclose(file);
    return lines;
}

bool open(const char *path, rvk::GenotypeData &data)
{
    rvk::SilentUserInterface ui;
    rvk::DataLoader loader(data, ui);
    return loader.OpenFiles({path}).completed && data.GroupCount() > 0;
}

// A number for each code, as the association computes on: the two homozygotes and the
// heterozygote of an F2, anything else missing.
std::array<signed char, 256> codeValues()
{
    std::array<signed char, 256> values;
    values.fill(-1);
    values[static_cast<unsigned char>('A')] = 0;
    values[static_cast<unsigned char>('H')] = 1;
    values[static_cast<unsigned char>('B')] = 2;
    return values;
}

long long pairs(const rvk::GenotypeData &data)
{
    const auto &loci = data.GroupLoci(0);
    const auto values = codeValues();
    long long total = 0;
    for (size_t a = 0; a < loci.size(); ++a)
        for (size_t b = a + 1; b < loci.size(); ++b) {
            std::array<int, 16> counts{};
            const std::string &x = loci[a].Genotypes, &y = loci[b].Genotypes;
            for (size_t i = 0; i < x.size(); ++i)
                ++counts[static_cast<size_t>((values[static_cast<unsigned char>(x[i])] + 1) * 4 + values[static_cast<unsigned char>(y[i])] + 1)];
            total += counts[5] + counts[15];
        }
    return total;
}

// The values of a trait file: one row per individual, one column per trait (missing as NaN).
std::vector<std::vector<double>> readTraits(const char *path)
{
    std::ifstream in(path);
    std::string line;
    std::vector<std::vector<double>> columns;
    bool values = false;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string first;
        fields >> first;
        if (first == "traitnames") {
            values = true;
            continue;
        }
        if (!values)
            continue;
        std::string field;
        for (size_t t = 0; fields >> field; ++t) {
            if (columns.size() <= t)
                columns.emplace_back();
            columns[t].push_back(std::strtod(field.c_str(), nullptr));
        }
    }
    return columns;
}

double cells(const rvk::GenotypeData &data, const std::vector<std::vector<double>> &traits)
{
    const auto values = codeValues();
    double total = 0;
    for (int k = 0; k < data.GroupCount(); ++k)
        for (const rvk::Tlocinfo &locus : data.GroupLoci(k))
            for (const std::vector<double> &trait : traits) {
                double sx = 0, sy = 0, sxy = 0, sxx = 0, syy = 0;
                int n = 0;
                const size_t count = std::min(trait.size(), locus.Genotypes.size());
                for (size_t i = 0; i < count; ++i) {
                    const int x = values[static_cast<unsigned char>(locus.Genotypes[i])];
                    if (x < 0)
                        continue;
                    const double y = trait[i];
                    sx += x;
                    sy += y;
                    sxy += x * y;
                    sxx += x * x;
                    syy += y * y;
                    ++n;
                }
                total += n > 1 ? (n * sxy - sx * sy) / (1.0 + n * sxx - sx * sx + n * syy - sy * sy) : 0.0;
            }
    return total;
}

long long individuals(const rvk::GenotypeData &data)
{
    const size_t n = static_cast<size_t>(data.nind);
    std::vector<int> equal(n * n);
    for (int k = 0; k < data.GroupCount(); ++k)
        for (const rvk::Tlocinfo &locus : data.GroupLoci(k)) {
            const char *codes = locus.Genotypes.data();
            for (size_t a = 0; a < n; ++a)
                for (size_t b = a + 1; b < n; ++b)
                    equal[a * n + b] += codes[a] == codes[b];
        }
    long long total = 0;
    for (int value : equal)
        total += value;
    return total;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 3)
        return usage();
    const std::string mode = argv[1];
    if (mode == "bytes") {
        const long long lines = bytePass(argv[2]);
        std::printf("%lld\n", lines);
        return lines < 0 ? 1 : 0;
    }
    rvk::GenotypeData data;
    if (mode != "pairs" && mode != "individuals" && !(mode == "cells" && argc == 4))
        return usage();
    if (!open(argv[2], data)) {
        std::fprintf(stderr, "rvk-floor: cannot read %s\n", argv[2]);
        return 1;
    }
    if (mode == "pairs")
        std::printf("%lld\n", pairs(data));
    else if (mode == "cells")
        std::printf("%g\n", cells(data, readTraits(argv[3])));
    else
        std::printf("%lld\n", individuals(data));
    return 0;
}
