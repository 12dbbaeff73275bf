// Genotyping-platform files: VCF/BCF through htslib (the format is told by the bytes) and HapMap.
#include "fuzzreaders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) { return rvk::fuzz::fuzzPlatform(data, size); }
