#pragma once
// Time as the frame exchange sees it: pauses between frames and the bounded wait for an answer.
// Tests substitute a clock that moves on its own so that time-out paths run without waiting.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace tavrik {

class DeviceClock {
public:
    virtual ~DeviceClock() = default;

    virtual void SleepFor(std::chrono::milliseconds duration) = 0;

    // Waits on `signal` (with `lock` held on entry and exit) until `ready` holds or `timeout`
    // has passed; returns `ready()`.
    virtual bool WaitFor(std::unique_lock<std::mutex>& lock, std::condition_variable& signal,
                         std::chrono::milliseconds timeout, const std::function<bool()>& ready) = 0;
};

// The steady clock and real sleeps.
DeviceClock& SystemDeviceClock();

} // namespace tavrik
