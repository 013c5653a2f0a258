// The heap the program's big, long-lived tables are built in.
#pragma once

namespace korvan {

// Start-up builds some 200 MB of maps, hash tables and rasters. On Linux, touching fresh memory
// costs a page fault per 4 KB page, and on virtual machines each one costs 10-20 us: about 60,000
// faults were most of start-up's time. This reserves the heap up front and backs it with 2 MB pages
// where the kernel allows them (transparent huge pages in "madvise" mode), so the same memory takes
// a few thousand faults. Call it first thing in main, before any thread starts. Does nothing where it
// cannot help (other C libraries, sanitizer builds, huge pages switched off).
void prepareLargeHeap();

} // namespace korvan
