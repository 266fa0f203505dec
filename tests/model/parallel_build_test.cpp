// The builders' in-order parallel loop: every index once, the steps in order
// on the calling thread after their index's work, and a failure on any thread
// ends the loop with that failure instead of a hang or a build taken as done.

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <new>
#include <stdexcept>
#include <thread>
#include <vector>

#include "model/parallel_build.h"

namespace {

void ExpectEveryIndexOnceAndStepsInOrder() {
    constexpr int kCount = 3000;
    std::unique_ptr<std::atomic<int>[]> runs(new std::atomic<int>[kCount]);
    for (int i = 0; i < kCount; ++i) runs[i] = 0;
    std::vector<int> steps;
    bool stepAfterItsWork = true;
    const std::thread::id caller = std::this_thread::get_id();
    bool stepsOnCaller = true;
    std::atomic<int> later{0};
    BuildTaskGroup group;
    ParallelInOrder(
        0, kCount, [&](int64_t i) { runs[i].fetch_add(1); },
        [&](int64_t i) {
            stepAfterItsWork = stepAfterItsWork && runs[i].load() == 1;
            stepsOnCaller = stepsOnCaller && std::this_thread::get_id() == caller;
            steps.push_back(static_cast<int>(i));
            group.Run([&later] { later.fetch_add(1); });  // work handed on by a step
        },
        group);
    for (int i = 0; i < kCount; ++i) ASSERT_EQ(runs[i].load(), 1) << i;
    ASSERT_EQ(steps.size(), static_cast<size_t>(kCount));
    for (int i = 0; i < kCount; ++i) ASSERT_EQ(steps[i], i);
    EXPECT_TRUE(stepAfterItsWork);
    EXPECT_TRUE(stepsOnCaller);
    EXPECT_EQ(later.load(), kCount);  // all of it done on return
}

}  // namespace

TEST(ParallelBuildTest, InOrderLoopRunsEveryIndexOnceWithItsStepAfterIt) {
    ExpectEveryIndexOnceAndStepsInOrder();
    BuildThreadLimit one(1);
    ExpectEveryIndexOnceAndStepsInOrder();
}

TEST(ParallelBuildTest, FailureOnAnyThreadEndsTheInOrderLoopWithIt) {
    for (int threads : {0, 1}) {
        std::unique_ptr<BuildThreadLimit> limit;
        if (threads > 0) limit = std::make_unique<BuildThreadLimit>(threads);
        // A body that runs out of memory, on whichever thread takes its index.
        {
            BuildTaskGroup group;
            std::atomic<int> stepped{0};
            EXPECT_THROW(ParallelInOrder(
                             0, 5000, [](int64_t i) { if (i == 1700) throw std::bad_alloc(); },
                             [&](int64_t) { stepped.fetch_add(1); }, group),
                         std::bad_alloc);
            EXPECT_LE(stepped.load(), 1700);
        }
        // A step that fails: the other threads stop before the loop's own data goes.
        {
            BuildTaskGroup group;
            EXPECT_THROW(ParallelInOrder(
                             0, 5000, [](int64_t) {},
                             [](int64_t i) {
                                 if (i == 40) throw std::length_error("step");
                             },
                             group),
                         std::length_error);
        }
        // Work handed to a group that fails is reported by its Wait.
        {
            BuildTaskGroup group;
            group.Run([] { throw std::bad_alloc(); });
            EXPECT_THROW(group.Wait(), std::bad_alloc);
        }
    }
}
