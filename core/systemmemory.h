#pragma once
// How much memory the machine can still give the program, for the checks before large steps.

#include <string>

namespace rvk {

// Bytes the machine can give without swapping: MemAvailable of /proc/meminfo where there is one,
// else the free physical pages; -1 when the system does not tell.
long long availableMemoryBytes();

// A byte count for messages: "850 MB", "8.0 GB".
std::string memorySizeText(long long bytes);

} // namespace rvk
