#include "bench/simulateddata.h"

#include "core/genotypedata.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

// Scores the population locus by locus: every individual carries two chromosomes (0 = from
// parent A, 1 = from parent B) along each group, and each switches parent with the chance of a
// crossover over the marker interval (Haldane).
class PopulationSimulator
{
public:
    explicit PopulationSimulator(const SimulationParameters &p)
        : mParameters(p)
        , mRandom(p.seed)
        , mFirst(static_cast<size_t>(std::max(0, p.individuals)))
        , mSecond(mFirst.size())
    {
    }

    int lociIn(int group) const
    {
        const SimulationParameters &p = mParameters;
        return p.markers / p.groups + (group < p.markers % p.groups ? 1 : 0);
    }
    // cM between neighbouring markers of the group.
    double stepIn(int group) const
    {
        const int loci = lociIn(group);
        return loci > 1 ? mParameters.groupLength / (loci - 1) : 0.0;
    }

    // Draws every individual's chromosomes at the start of a group.
    void startGroup(int group)
    {
        mSwitchChance = 0.5 * (1.0 - std::exp(-2.0 * stepIn(group) / 100.0));
        for (size_t i = 0; i < mFirst.size(); ++i) {
            mFirst[i] = mRandom.next() & 1;
            mSecond[i] = mRandom.next() & 1;
        }
    }

    // The codes of marker m (0-based within its group), one per individual.
    void scoreLocus(int m, char *codes)
    {
        const SimulationParameters &p = mParameters;
        for (size_t i = 0; i < mFirst.size(); ++i) {
            if (m > 0) {
                if (mRandom.uniform() < mSwitchChance)
                    mFirst[i] ^= 1;
                if (mRandom.uniform() < mSwitchChance)
                    mSecond[i] ^= 1;
            }
            char code = p.codes[static_cast<size_t>(mFirst[i] + mSecond[i])];
            const double noise = mRandom.uniform();
            if (noise < p.missingShare)
                code = p.missingCode;
            else if (noise < p.missingShare + p.errorShare)
                code = p.codes[mRandom.next() % 3];
            codes[i] = code;
        }
    }

private:
    const SimulationParameters &mParameters;
    SplitMix mRandom;
    std::vector<unsigned char> mFirst;
    std::vector<unsigned char> mSecond;
    double mSwitchChance = 0.0;
};

std::string groupName(int group) { return "chr" + std::to_string(group + 1); }
std::string markerName(int number) { return "m" + std::to_string(number); }
std::string individualName(int individual) { return "ind" + std::to_string(individual + 1); }

} // namespace

long long writeSimulatedDataFile(const std::string &path, const SimulationParameters &p)
{
    std::unique_ptr<FILE, int (*)(FILE *)> file(std::fopen(path.c_str(), "wb"), &std::fclose);
    if (!file)
        return -1;
    PopulationSimulator simulator(p);
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
    std::vector<char> codes(static_cast<size_t>(n));
    int markerNumber = 0;
    for (int g = 0; g < p.groups; ++g) {
        const int loci = simulator.lociIn(g);
        const double step = simulator.stepIn(g);
        out += "\nname=" + groupName(g) + "\n";
        out += "nloc=" + std::to_string(loci) + "\n";
        simulator.startGroup(g);
        for (int m = 0; m < loci; ++m) {
            char position[32];
            std::snprintf(position, sizeof position, "  %.1f \n", m * step);
            out += markerName(++markerNumber) + position;
            simulator.scoreLocus(m, codes.data());
            for (int i = 0; i < n; ++i) {
                out += codes[static_cast<size_t>(i)];
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
        out += "\"" + individualName(i) + "\" ";
    out += '\n';
    flush();
    return written;
}

std::unique_ptr<GenotypeData> simulatePopulation(const SimulationParameters &p)
{
    auto data = std::make_unique<GenotypeData>();
    data->nind = p.individuals;
    data->popt = p.popt;
    PopulationSimulator simulator(p);
    int markerNumber = 0;
    for (int g = 0; g < p.groups; ++g) {
        LinkageGroup group;
        group.Name = groupName(g);
        group.PopType = p.popt;
        const int loci = simulator.lociIn(g);
        const double step = simulator.stepIn(g);
        group.Loci.resize(static_cast<size_t>(loci));
        simulator.startGroup(g);
        for (int m = 0; m < loci; ++m) {
            Tlocinfo &locus = group.Loci[static_cast<size_t>(m)];
            locus.Name = markerName(++markerNumber);
            locus.Position = m * step;
            locus.Genotypes.resize(static_cast<size_t>(p.individuals));
            simulator.scoreLocus(m, locus.Genotypes.data());
        }
        data->AppendGroup(std::move(group));
    }
    for (int i = 0; i < p.individuals; ++i) {
        data->IndividualNames.push_back(individualName(i));
        data->IndividualNumbers.push_back(i + 1);
    }
    data->TickAll();
    data->DataLoaded = true;
    return data;
}

void takeSizeOptions(int &argc, char **argv, SimulationParameters &parameters)
{
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (i + 1 < argc && std::strcmp(argv[i], "--individuals") == 0)
            parameters.individuals = std::atoi(argv[++i]);
        else if (i + 1 < argc && std::strcmp(argv[i], "--markers") == 0)
            parameters.markers = std::atoi(argv[++i]);
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
}

GenotypeData &sharedPopulation(const SimulationParameters &parameters, const std::function<void(GenotypeData &)> &prepare)
{
    static const std::unique_ptr<GenotypeData> data = [&] {
        auto made = simulatePopulation(parameters);
        if (prepare)
            prepare(*made);
        return made;
    }();
    return *data;
}

} // namespace rvk::bench
