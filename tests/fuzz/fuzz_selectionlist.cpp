// Selection lists (.rvl) read against a small data set.
#include "fuzzreaders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) { return rvk::fuzz::fuzzSelectionlist(data, size); }
