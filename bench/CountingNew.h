// A global operator new that counts every heap allocation of the program,
// so a benchmark can show that its steady state allocates nothing.  Link
// CountingNew.cpp into the benchmark program (it replaces operator new).
#pragma once

namespace qxbench {

long long HeapAllocations();

}  // namespace qxbench
