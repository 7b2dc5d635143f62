// A global operator new that counts every heap allocation of the program and
// the bytes it holds, so a benchmark can show that its steady state allocates
// nothing, or what its peak of memory is.  Link CountingNew.cpp into the
// benchmark program (it replaces operator new).
#pragma once

#include <cstddef>

namespace qxbench {

long long HeapAllocations();
// Bytes held through operator new now, and the most held since the last
// ResetHeapPeak (which starts it at the bytes held then).
std::size_t HeapBytesInUse();
std::size_t HeapBytesPeak();
void ResetHeapPeak();

}  // namespace qxbench
