#pragma once
// Gives memory freed by the program back to the system at once. The allocator keeps freed
// blocks for reuse; after a large result goes (the data set closed, a report replaced) the
// process would go on holding gigabytes it no longer uses.

namespace rvk {

void returnFreedMemory();

} // namespace rvk
