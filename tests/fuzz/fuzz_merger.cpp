// The locus/map merger: a map text and a locus text from one input, merged into files.
#include "fuzzreaders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) { return rvk::fuzz::fuzzMerger(data, size); }
