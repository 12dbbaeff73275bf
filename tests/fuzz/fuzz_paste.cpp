// Pasted tables: the exchange window's paste, recoding and import.
#include "fuzzreaders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) { return rvk::fuzz::fuzzPaste(data, size); }
