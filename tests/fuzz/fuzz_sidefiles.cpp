// The side files of a genotyping-platform import: site maps, samples files and regions.
#include "fuzzreaders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) { return rvk::fuzz::fuzzSidefiles(data, size); }
