#include "core/systemmemory.h"

#include "core/textformat.h"

#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

namespace rvk {

long long availableMemoryBytes()
{
    std::ifstream meminfo("/proc/meminfo");
    for (std::string line; std::getline(meminfo, line);) {
        if (line.rfind("MemAvailable:", 0) != 0)
            continue;
        std::istringstream fields(line.substr(13));
        long long kilobytes = -1;
        if (fields >> kilobytes && kilobytes >= 0)
            return kilobytes * 1024;
    }
#if defined(_SC_AVPHYS_PAGES) && defined(_SC_PAGESIZE)
    const long pages = sysconf(_SC_AVPHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages > 0 && pageSize > 0)
        return static_cast<long long>(pages) * pageSize;
#endif
    return -1;
}

std::string memorySizeText(long long bytes)
{
    const double megabytes = static_cast<double>(bytes) / (1024.0 * 1024.0);
    if (megabytes < 1000.0)
        return formatText("%.0f MB", {megabytes});
    return formatText("%.1f GB", {megabytes / 1024.0});
}

} // namespace rvk
