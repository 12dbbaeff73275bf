// Spreadsheet files as the program opens them: FreeXL in its child process, liborcus, text.
#include "fuzzreaders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) { return rvk::fuzz::fuzzWorkbook(data, size); }
