// The worker that runs the presence handlers and icon changes: order, idling and stopping.

#include "events/serial_worker.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace tavrik {
namespace {

using ::testing::ElementsAre;

TEST(SerialWorkerTest, RunsJobsOneAfterTheOtherInPostingOrder) {
    SerialWorker worker;
    std::vector<int> order; // touched only by the worker until it is idle
    std::atomic<int> running{0};
    std::atomic<bool> overlapped{false};
    for (int i = 0; i < 20; ++i) {
        worker.Post([&, i](std::stop_token) {
            if (running.fetch_add(1) != 0)
                overlapped = true;
            order.push_back(i);
            running.fetch_sub(1);
        });
    }
    worker.WaitUntilIdle();
    EXPECT_FALSE(overlapped);
    ASSERT_EQ(order.size(), 20u);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(order[static_cast<size_t>(i)], i);
}

TEST(SerialWorkerTest, StopEndsAWaitingJobAndDropsTheQueue) {
    SerialWorker worker;
    std::mutex mutex;
    std::condition_variable_any changed;
    bool started = false;
    std::atomic<int> laterJobsRun{0};
    worker.Post([&](std::stop_token stop) {
        std::unique_lock lock(mutex);
        started = true;
        changed.notify_all();
        changed.wait(lock, stop, [] { return false; }); // waits until asked to stop
    });
    worker.Post([&](std::stop_token) { ++laterJobsRun; });
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return started; });
    }

    worker.Stop();
    worker.Post([&](std::stop_token) { ++laterJobsRun; });
    worker.WaitUntilIdle(); // returns at once once stopped

    EXPECT_EQ(laterJobsRun.load(), 0);
}

} // namespace
} // namespace tavrik
