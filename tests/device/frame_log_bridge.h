#pragma once
// A transport in front of another that keeps every configuration frame written, whole and in
// order, and can act just before a chosen frame goes on (to give exactly that frame a fault).

#include "device/config_frame.h"
#include "device/forwarding_hid_bridge.h"

#include <algorithm>
#include <functional>
#include <mutex>
#include <vector>

namespace tavrik::test {

class FrameLogBridge final : public ForwardingHidBridge {
public:
    using Hook = std::function<void(const ConfigFrame&)>;

    using ForwardingHidBridge::ForwardingHidBridge;

    int32_t RequestWriteOne(const UnitDescriptor& unit, std::span<const uint8_t> report,
                            uint32_t check) override {
        if (unit == kCtrlUnit && report.size() == kFrameSize)
            Log(report);
        return ForwardingHidBridge::RequestWriteOne(unit, report, check);
    }

    std::vector<ConfigFrame> Frames() const {
        std::lock_guard lock(mutex_);
        return frames_;
    }
    std::vector<uint8_t> Commands() const {
        std::vector<uint8_t> commands;
        for (const ConfigFrame& logged : Frames())
            commands.push_back(logged[frame::kCommand]);
        return commands;
    }
    void Clear() {
        std::lock_guard lock(mutex_);
        frames_.clear();
    }
    // Runs on the writing thread just before each frame goes on.
    void BeforeFrame(Hook hook) {
        std::lock_guard lock(mutex_);
        beforeFrame_ = std::move(hook);
    }

private:
    void Log(std::span<const uint8_t> report) {
        ConfigFrame logged{};
        std::ranges::copy(report, logged.begin());
        Hook hook;
        {
            std::lock_guard lock(mutex_);
            frames_.push_back(logged);
            hook = beforeFrame_;
        }
        if (hook)
            hook(logged);
    }

    mutable std::mutex mutex_;
    std::vector<ConfigFrame> frames_;
    Hook beforeFrame_;
};

} // namespace tavrik::test
