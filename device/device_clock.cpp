#include "device/device_clock.h"

#include <thread>

namespace tavrik {

namespace {

class SteadyDeviceClock final : public DeviceClock {
public:
    void SleepFor(std::chrono::milliseconds duration) override {
        std::this_thread::sleep_for(duration);
    }

    bool WaitFor(std::unique_lock<std::mutex>& lock, std::condition_variable& signal,
                 std::chrono::milliseconds timeout, const std::function<bool()>& ready) override {
        return signal.wait_for(lock, timeout, ready);
    }
};

} // namespace

DeviceClock& SystemDeviceClock() {
    static SteadyDeviceClock clock;
    return clock;
}

} // namespace tavrik
