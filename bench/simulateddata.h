#pragma once

#include <functional>
#include <memory>
#include <string>

namespace rvk {
class GenotypeData;
}

namespace rvk::bench {

// Parameters of a simulated mapping population.
struct SimulationParameters
{
    int groups = 10;
    int individuals = 3000;
    int markers = 50000;   // over all groups
    double groupLength = 150.0; // cM
    std::string popt = "f2";
    unsigned seed = 1;
    // The codes of the two homozygotes and the heterozygote, by the number of parent-B
    // chromosomes: "AHB" scores 0 as A, 1 as H and 2 as B.
    std::string codes = "AHB";
    char missingCode = '-';
    double missingShare = 0.01;
    // Scores replaced by a code drawn at random from codes, as scoring errors would.
    double errorShare = 0.0;
};

// Writes a multi-group data file (the layout the program itself writes: codes in blocks of five)
// of an F2-like population with realistic recombination along each group. Returns the number of
// bytes written, or -1 when the file could not be written.
long long writeSimulatedDataFile(const std::string &path, const SimulationParameters &parameters);

// A population of the same kind built in memory, named as in the file: groups "chr1" ...,
// markers "m1" ... in order of position, individuals "ind1" ..., all ticked.
std::unique_ptr<GenotypeData> simulatePopulation(const SimulationParameters &parameters);

// The population of parameters, built at the first call and kept for the program's run: a
// benchmark's data, made once before the clocks run. prepare, when given, finishes it then (the
// major alleles a view shows, parents made informative...). Later calls return the same data.
GenotypeData &sharedPopulation(const SimulationParameters &parameters, const std::function<void(GenotypeData &)> &prepare = {});

// Genotype scores in the population: individuals x markers.
inline double genotypeCount(const SimulationParameters &parameters)
{
    return static_cast<double>(parameters.individuals) * parameters.markers;
}

// Takes "--individuals N" and "--markers N" out of the arguments into parameters and leaves the
// rest, the program name first, for the benchmark library.
void takeSizeOptions(int &argc, char **argv, SimulationParameters &parameters);

} // namespace rvk::bench
