// Spreadsheet files as the program opens them (FreeXL, liborcus or text, by their first bytes).
#include "fuzzreaders.h"

#include <csignal>
#include <pthread.h>
#include <sanitizer/common_interface_defs.h>

// FreeXL and liborcus read in a child process of their own, so that a fault of a library there
// only fails the file (the parent says it cannot be read). Both have such faults: damaged string
// records make FreeXL hand iconv more bytes than its buffer holds, and a damaged sheet makes
// liborcus fail an assertion. The child is a copy of this fuzzer, whose crash handlers would take
// the child's sanitizer report or abort for one of the target's own; in the child the report is
// printed and the child ends, as in the program, without a crash file.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    pthread_atfork(nullptr, nullptr, [] {
        __sanitizer_set_death_callback(nullptr);
        for (const int deadly : {SIGABRT, SIGBUS, SIGFPE, SIGILL, SIGSEGV})
            std::signal(deadly, SIG_DFL);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) { return rvk::fuzz::fuzzWorkbook(data, size); }
