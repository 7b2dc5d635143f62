#include "CountingNew.h"

#include <atomic>
#include <cstdlib>
#include <malloc.h>
#include <new>

namespace {
std::atomic<long long> g_allocations{0};
std::atomic<std::size_t> g_bytes{0};
std::atomic<std::size_t> g_peak{0};
}  // namespace

long long qxbench::HeapAllocations() { return g_allocations.load(std::memory_order_relaxed); }
std::size_t qxbench::HeapBytesInUse() { return g_bytes.load(std::memory_order_relaxed); }
std::size_t qxbench::HeapBytesPeak() { return g_peak.load(std::memory_order_relaxed); }
void qxbench::ResetHeapPeak() { g_peak.store(g_bytes.load(std::memory_order_relaxed), std::memory_order_relaxed); }

void* operator new(std::size_t size)
{
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) {
        const std::size_t now = g_bytes.fetch_add(malloc_usable_size(p), std::memory_order_relaxed) + malloc_usable_size(p);
        std::size_t peak = g_peak.load(std::memory_order_relaxed);
        while (now > peak && !g_peak.compare_exchange_weak(peak, now, std::memory_order_relaxed)) {
        }
        return p;
    }
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
    if (p)
        g_bytes.fetch_sub(malloc_usable_size(p), std::memory_order_relaxed);
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
