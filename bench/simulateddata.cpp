#include "bench/simulateddata.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace rvk::bench {

namespace {
// A small, fast generator: the data only need to look like a population, not to be
// cryptographically random.
class SplitMix
{
public:
    explicit SplitMix(std::uint64_t seed) : mState(seed) {}
    std::uint64_t next()
    {
        std::uint64_t z = (mState += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double uniform() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }

private:
    std::uint64_t mState;
};
} // namespace

long long writeSimulatedDataFile(const std::string &path, const SimulationParameters &p)
{
    std::unique_ptr<FILE, int (*)(FILE *)> file(std::fopen(path.c_str(), "wb"), &std::fclose);
    if (!file)
        return -1;
    SplitMix random(p.seed);
    std::string out;
    out.reserve(1 << 20);
    long long written = 0;
    auto flush = [&] {
        written += static_cast<long long>(std::fwrite(out.data(), 1, out.size(), file.get()));
        out.clear();
    };
    out += "nchrom=" + std::to_string(p.groups) + "\n";
    out += "nind=" + std::to_string(p.individuals) + "\n";
    out += "popt=" + p.popt + "\n";

    const int n = p.individuals;
    // Two haplotype states per individual (0 = parent A, 1 = parent B), carried along a group.
    std::vector<unsigned char> first(static_cast<size_t>(n)), second(static_cast<size_t>(n));
    int markerNumber = 0;
    for (int g = 0; g < p.groups; ++g) {
        const int loci = p.markers / p.groups + (g < p.markers % p.groups ? 1 : 0);
        out += "\nname=chr" + std::to_string(g + 1) + "\n";
        out += "nloc=" + std::to_string(loci) + "\n";
        const double step = loci > 1 ? p.groupLength / (loci - 1) : 0.0;
        // Haldane: chance of a crossover between neighbours step cM apart.
        const double r = 0.5 * (1.0 - std::exp(-2.0 * step / 100.0));
        for (int i = 0; i < n; ++i) {
            first[static_cast<size_t>(i)] = random.next() & 1;
            second[static_cast<size_t>(i)] = random.next() & 1;
        }
        for (int m = 0; m < loci; ++m) {
            char position[32];
            std::snprintf(position, sizeof position, "  %.1f \n", m * step);
            out += "m" + std::to_string(++markerNumber) + position;
            for (int i = 0; i < n; ++i) {
                if (m > 0) {
                    if (random.uniform() < r)
                        first[static_cast<size_t>(i)] ^= 1;
                    if (random.uniform() < r)
                        second[static_cast<size_t>(i)] ^= 1;
                }
                const int dosage = first[static_cast<size_t>(i)] + second[static_cast<size_t>(i)];
                char code = dosage == 0 ? 'A' : (dosage == 1 ? 'H' : 'B');
                if (random.next() % 100 == 0)
                    code = '-';
                out += code;
                if (i % 5 == 4)
                    out += ' ';
            }
            out += '\n';
            if (out.size() > (1u << 20))
                flush();
        }
    }
    out += "\nAlias\n";
    for (int i = 0; i < n; ++i)
        out += "\"ind" + std::to_string(i + 1) + "\" ";
    out += '\n';
    flush();
    return written;
}

} // namespace rvk::bench
