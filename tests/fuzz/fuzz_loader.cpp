// The loader on a file: the mapped-file checks, the multi-group path and the group registration.
#include "fuzzreaders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) { return rvk::fuzz::fuzzLoader(data, size); }
