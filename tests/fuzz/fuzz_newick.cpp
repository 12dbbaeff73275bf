// Newick text: the full reader of trees from other programs and the tree window's text reader.
#include "fuzzreaders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) { return rvk::fuzz::fuzzNewick(data, size); }
