#pragma once
// A thread of its own that runs posted tasks at their due time, in due order (tasks due at the
// same time in the order they were posted). The bridges deliver reports and count changes on it,
// so a caller's callback never runs on the caller's thread.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

namespace tavrik::emu {

class DeliveryThread {
public:
    using Clock = std::chrono::steady_clock;

    DeliveryThread();
    // Stops the thread; tasks not yet run are dropped.
    ~DeliveryThread();
    DeliveryThread(const DeliveryThread&) = delete;
    DeliveryThread& operator=(const DeliveryThread&) = delete;

    void Post(Clock::time_point due, std::function<void()> task);
    // Returns once every task posted so far has run (tasks they post are waited for too).
    // Must not be called from the delivery thread itself.
    void WaitIdle();

private:
    void Run();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<std::pair<Clock::time_point, uint64_t>, std::function<void()>> tasks_;
    uint64_t posted_ = 0;
    bool running_ = false; // a task is running right now
    bool stopping_ = false;
    std::thread thread_; // last: starts after every member it uses exists
};

} // namespace tavrik::emu
