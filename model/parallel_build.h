#pragma once
// The builders' work spread over the machine's cores (oneTBB). Every index of
// a range is handled exactly once and writes only its own entry, so the arrays
// come out exactly as a loop in order would leave them.

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <utility>
#include <vector>

#include <oneapi/tbb/blocked_range.h>
#include <oneapi/tbb/parallel_for.h>
#include <oneapi/tbb/task_group.h>

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

// Work handed to the other cores while the calling thread goes on with its
// own: what Run() starts may run on any core at once with the caller (with one
// thread, at Wait()). Wait() returns once everything started has run and
// rethrows the first exception a task threw; the group is used up then. A
// group left without Wait() (the caller's work threw) lets what already runs
// finish before it goes, so nothing outlives the data it works on.
#if defined(__SANITIZE_THREAD__)
// Plain threads under ThreadSanitizer (see ParallelForEach): a queue served by
// the other threads of the build.
class BuildTaskGroup {
public:
    BuildTaskGroup() {
        const int workers = std::max(1, BuildThreadCount() - 1);
        for (int i = 0; i < workers; ++i) threads_.emplace_back([this] { Serve(); });
    }
    ~BuildTaskGroup() { Join(); }
    BuildTaskGroup(const BuildTaskGroup&) = delete;
    BuildTaskGroup& operator=(const BuildTaskGroup&) = delete;
    template <class Task>
    void Run(Task task) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            queue_.emplace_back(std::move(task));
        }
        wake_.notify_one();
    }
    void Wait() {
        Join();
        if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
    }

private:
    void Serve() {
        for (;;) {
            std::function<void()> task;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                wake_.wait(lock, [this] { return closing_ || !queue_.empty(); });
                if (queue_.empty()) return;
                task = std::move(queue_.front());
                queue_.pop_front();
            }
            try {
                task();
            } catch (...) {
                std::lock_guard<std::mutex> lock(mutex_);
                if (!failure_) failure_ = std::current_exception();
            }
        }
    }
    void Join() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            closing_ = true;
        }
        wake_.notify_all();
        for (std::thread& t : threads_)
            if (t.joinable()) t.join();
    }
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> queue_;
    std::vector<std::thread> threads_;
    std::exception_ptr failure_;
    bool closing_ = false;
};
#else
class BuildTaskGroup {
public:
    BuildTaskGroup() = default;
    ~BuildTaskGroup() {
        if (!waited_) {
            group_.cancel();
            try {
                group_.wait();
            } catch (...) {
            }
        }
    }
    BuildTaskGroup(const BuildTaskGroup&) = delete;
    BuildTaskGroup& operator=(const BuildTaskGroup&) = delete;
    template <class Task>
    void Run(Task task) {
        group_.run(std::move(task));
    }
    void Wait() {
        waited_ = true;
        group_.wait();
    }

private:
    oneapi::tbb::task_group group_;
    bool waited_ = false;
};
#endif

// Runs body(i) for every i in [begin, end) on all cores, the indices taken in
// increasing order by whichever thread is free, the calling one included, and
// step(i) on the calling thread for every i in order as soon as body(i) has
// run, while later bodies run on. A step that lets the window system deliver
// events (the busy window's marker) may do so here only while nothing the
// windows draw is being written (the path frames are built while the preview
// knows them invalid); otherwise ParallelBlocks. `group` carries the other threads' share,
// and whatever else step hands to it; it is waited for before this returns
// (rethrowing what a body threw on another thread).
template <class Body, class Step>
void ParallelInOrder(int64_t begin, int64_t end, const Body& body, const Step& step, BuildTaskGroup& group) {
    const int64_t count = std::max<int64_t>(0, end - begin);
    std::unique_ptr<std::atomic<bool>[]> done(new std::atomic<bool>[static_cast<size_t>(count)]);
    for (int64_t k = 0; k < count; ++k) done[k].store(false, std::memory_order_relaxed);
    std::atomic<int64_t> next{0};
    std::atomic<bool> failed{false};
    const auto runNext = [&]() -> bool {
        const int64_t k = next.fetch_add(1, std::memory_order_relaxed);
        if (k >= count) return false;
        try {
            body(begin + k);
        } catch (...) {
            failed.store(true, std::memory_order_release);
            throw;
        }
        done[k].store(true, std::memory_order_release);
        return true;
    };
    for (int w = 1; w < BuildThreadCount() && w < count; ++w)
        group.Run([&] {
            while (!failed.load(std::memory_order_acquire) && runNext()) {
            }
        });
    try {
        for (int64_t k = 0; k < count; ++k) {
            // An index another thread has taken is being worked on right now.
            while (!done[k].load(std::memory_order_acquire) && !failed.load(std::memory_order_acquire))
                if (!runNext()) std::this_thread::yield();
            if (failed.load(std::memory_order_acquire)) break;
            step(begin + k);
        }
    } catch (...) {
        // The other threads stop taking indices; they are gone before what
        // they use here is.
        failed.store(true, std::memory_order_release);
        try {
            group.Wait();
        } catch (...) {
        }
        throw;
    }
    group.Wait();
    if (failed.load(std::memory_order_acquire)) throw std::runtime_error("a parallel build step failed");
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


