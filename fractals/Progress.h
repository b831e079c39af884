#pragma once
// Work done by a generator, for a progress display on another thread. The generator sets the
// total before it starts and adds each piece as it finishes; a reader may look at any time.

#include <atomic>
#include <cstdint>

class GeneratorProgress
{
public:
    void Start(int64_t nTotal) { m_nTotal.store(nTotal, std::memory_order_relaxed); }
    void Advance(int64_t nDone) { m_nDone.fetch_add(nDone, std::memory_order_relaxed); }
    int64_t Done() const { return m_nDone.load(std::memory_order_relaxed); }
    int64_t Total() const { return m_nTotal.load(std::memory_order_relaxed); }

private:
    std::atomic<int64_t> m_nDone {0};
    std::atomic<int64_t> m_nTotal {0};
};
