// rvk-simulate: writes a simulated multi-group data file for benchmarks and manual trials.
#include "bench/simulateddata.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char *argv[])
{
    rvk::bench::SimulationParameters parameters;
    std::string out;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](const char *name) -> const char * {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "rvk-simulate: %s needs a value\n", name);
                std::exit(2);
            }
            return argv[++i];
        };
        if (arg == "--groups")
            parameters.groups = std::atoi(value("--groups"));
        else if (arg == "--individuals")
            parameters.individuals = std::atoi(value("--individuals"));
        else if (arg == "--markers")
            parameters.markers = std::atoi(value("--markers"));
        else if (arg == "--popt")
            parameters.popt = value("--popt");
        else if (arg == "--seed")
            parameters.seed = static_cast<unsigned>(std::atoi(value("--seed")));
        else if (arg == "--out")
            out = value("--out");
        else {
            std::fprintf(stderr, "usage: rvk-simulate [--groups N] [--individuals N] [--markers N] [--popt TYPE] [--seed N] --out FILE.rvk\n");
            return 2;
        }
    }
    if (out.empty() || parameters.groups < 1 || parameters.groups > 100 || parameters.individuals < 1 || parameters.markers < parameters.groups) {
        std::fprintf(stderr, "usage: rvk-simulate [--groups 1..100] [--individuals N] [--markers N>=groups] [--popt TYPE] [--seed N] --out FILE.rvk\n");
        return 2;
    }
    // The simulator scores one code per individual; cross-pollinators need two and a
    // segregation type per locus.
    std::string type = parameters.popt;
    for (char &c : type)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (type == "cp") {
        std::fprintf(stderr, "rvk-simulate: cross-pollinator (cp) populations are not simulated; use f2, bc, ri, dh or hap\n");
        return 2;
    }
    const long long bytes = rvk::bench::writeSimulatedDataFile(out, parameters);
    if (bytes < 0) {
        std::fprintf(stderr, "rvk-simulate: cannot write %s\n", out.c_str());
        return 1;
    }
    std::printf("%s: %lld bytes\n", out.c_str(), bytes);
    return 0;
}
