// Spreadsheet bytes: our own .xls stream reader and .csv text.
#include "fuzzreaders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) { return rvk::fuzz::fuzzSpreadsheet(data, size); }
