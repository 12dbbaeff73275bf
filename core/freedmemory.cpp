#include "core/freedmemory.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace rvk {

void returnFreedMemory()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

} // namespace rvk
