// Spreadsheet files as the program opens them (FreeXL, liborcus or text, by their first bytes).
#include "fuzzreaders.h"

#include <pthread.h>
#include <sanitizer/common_interface_defs.h>

// FreeXL reads in a child process of its own, so that a fault of the library there only fails
// the file (the parent says it cannot be read). FreeXL has such a fault: damaged string records
// make it hand iconv more bytes than its buffer holds. The child is a copy of this fuzzer, whose
// crash handler would take the child's sanitizer report for one of the target's own; in the child
// the report is printed and the child ends, as in the program, without a crash file.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    pthread_atfork(nullptr, nullptr, [] { __sanitizer_set_death_callback(nullptr); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) { return rvk::fuzz::fuzzWorkbook(data, size); }
