#pragma once
// The builders' work spread over the machine's cores (oneTBB). Every index of
// a range is handled exactly once and writes only its own entry, so the arrays
// come out exactly as a loop in order would leave them.

#include <algorithm>
#include <cstdint>
#include <memory>

#include <thread>
#include <vector>

#include <oneapi/tbb/blocked_range.h>
#include <oneapi/tbb/parallel_for.h>

// The number of threads a build may use now.
int BuildThreadCount();

// Runs body(i) for every i in [begin, end), spread over the cores.
#if defined(__SANITIZE_THREAD__)
// Under ThreadSanitizer the system's oneTBB is not instrumented, so its own
// hand-offs would be reported as races: plain threads, started and joined
// here, let the sanitizer check the builders themselves.
template <class Body>
void ParallelForEach(int64_t begin, int64_t end, const Body& body) {
    if (end <= begin) return;
    const int64_t workers = std::max<int64_t>(1, std::min<int64_t>(BuildThreadCount(), end - begin));
    std::vector<std::thread> threads;
    const int64_t share = (end - begin + workers - 1) / workers;
    for (int64_t w = 0; w < workers; ++w) {
        const int64_t first = begin + w * share, last = std::min(end, first + share);
        if (first < last)
            threads.emplace_back([&body, first, last] {
                for (int64_t i = first; i < last; ++i) body(i);
            });
    }
    for (std::thread& t : threads) t.join();
}
#else
template <class Body>
void ParallelForEach(int64_t begin, int64_t end, const Body& body) {
    if (end <= begin) return;
    oneapi::tbb::parallel_for(oneapi::tbb::blocked_range<int64_t>(begin, end),
                              [&](const oneapi::tbb::blocked_range<int64_t>& r) {
                                  for (int64_t i = r.begin(); i != r.end(); ++i) body(i);
                              });
}
#endif

// Runs body(i) for every i in [begin, end) on all cores, `block` indices at a
// time; after each block, step(i) for every index of the block in order, on
// the calling thread and while no worker runs: the busy window's marker, which
// lets the window system deliver events, advances as a loop in order would
// move it.
template <class Body, class Step>
void ParallelBlocks(int64_t begin, int64_t end, int64_t block, const Body& body, const Step& step) {
    if (block < 1) block = 1;
    for (int64_t first = begin; first < end; first += block) {
        const int64_t last = std::min(end, first + block);
        ParallelForEach(first, last, body);
        for (int64_t i = first; i < last; ++i) step(i);
    }
}

// While it lives, builds use at most `threads` threads (1: everything on the
// calling thread). For the benchmarks' one-thread figures.
class BuildThreadLimit {
public:
    explicit BuildThreadLimit(int threads);
    ~BuildThreadLimit();
    BuildThreadLimit(const BuildThreadLimit&) = delete;
    BuildThreadLimit& operator=(const BuildThreadLimit&) = delete;

private:
    struct Control;
    std::unique_ptr<Control> control_;
};


