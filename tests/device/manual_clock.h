#pragma once
// A DeviceClock that never sleeps: pauses and time-outs move a virtual clock on and are recorded.
// Before it declares a time-out it lets the transport finish delivering what is already on its
// way, so an answer the keyboard did send is never missed.

#include "device/device_clock.h"

#include <chrono>
#include <functional>
#include <mutex>
#include <vector>

namespace tavrik::test {

class ManualClock final : public DeviceClock {
public:
    explicit ManualClock(std::function<void()> settleTransport = {})
        : settleTransport_(std::move(settleTransport)) {}

    void SleepFor(std::chrono::milliseconds duration) override {
        std::lock_guard lock(mutex_);
        sleeps_.push_back(duration);
        elapsed_ += duration;
    }

    bool WaitFor(std::unique_lock<std::mutex>& lock, std::condition_variable&,
                 std::chrono::milliseconds timeout, const std::function<bool()>& ready) override {
        if (ready())
            return true;
        if (settleTransport_) {
            lock.unlock();
            settleTransport_();
            lock.lock();
        }
        if (ready())
            return true;
        std::lock_guard hold(mutex_);
        elapsed_ += timeout;
        return false;
    }

    std::chrono::milliseconds Elapsed() const {
        std::lock_guard lock(mutex_);
        return elapsed_;
    }
    std::vector<std::chrono::milliseconds> Sleeps() const {
        std::lock_guard lock(mutex_);
        return sleeps_;
    }

private:
    std::function<void()> settleTransport_;
    mutable std::mutex mutex_;
    std::chrono::milliseconds elapsed_{0};
    std::vector<std::chrono::milliseconds> sleeps_;
};

} // namespace tavrik::test
