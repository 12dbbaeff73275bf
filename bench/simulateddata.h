#pragma once

#include <string>

namespace rvk::bench {

// Parameters of a simulated mapping population written as a multi-group data file.
struct SimulationParameters
{
    int groups = 10;
    int individuals = 3000;
    int markers = 50000;   // over all groups
    double groupLength = 150.0; // cM
    std::string popt = "f2";
    unsigned seed = 1;
};

// Writes a multi-group data file (the layout the program itself writes: codes in blocks of five)
// of an F2-like population with realistic recombination along each group. Returns the number of
// bytes written, or -1 when the file could not be written.
long long writeSimulatedDataFile(const std::string &path, const SimulationParameters &parameters);

} // namespace rvk::bench
