#pragma once
// The process's own memory as Linux reports it, in MB, for the benchmarks that show what a
// step keeps and gives back.

#include <cstdlib>
#include <fstream>
#include <string>

namespace rvk::bench {

// A field of /proc/self/status ("VmRSS:", "VmHWM:") in MB; 0 where there is none.
inline double statusFieldMB(const char *field)
{
    std::ifstream status("/proc/self/status");
    const std::string key = field;
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0)
            return std::atof(line.c_str() + key.size()) / 1024.0;
    return 0.0;
}

// Resident memory now.
inline double residentMB()
{
    return statusFieldMB("VmRSS:");
}

// The highest resident memory since the last resetPeak().
inline double peakMB()
{
    return statusFieldMB("VmHWM:");
}

inline void resetPeak()
{
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
}

} // namespace rvk::bench
