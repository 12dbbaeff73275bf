#pragma once
// Gives memory freed by the program back to the system at once. The allocator keeps freed
// blocks for reuse; after a large result goes (the data set closed, a report replaced) the
// process would go on holding gigabytes it no longer uses.

namespace rvk {

void returnFreedMemory();

// Lets every thread allocate from the one heap the program starts with, instead of a heap per
// thread. A data file read on a worker thread then grows that heap in large steps as on the
// window's thread (a thread's own heap grows a page at a time, which made reading 2.5 times
// slower), and memory freed by any thread goes back to the system from one place. Called first
// thing in main, before any thread starts.
void shareOneHeapAcrossThreads();

} // namespace rvk
