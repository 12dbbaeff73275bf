// The initialisation-file layer on text in memory, then the same bytes as a settings file.
#include "fuzzreaders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) { return rvk::fuzz::fuzzSettings(data, size); }
