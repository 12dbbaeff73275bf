// The data-file reader on text in memory: a single group, or the blocks of a multi-group file.
#include "fuzzreaders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) { return rvk::fuzz::fuzzDatafile(data, size); }
