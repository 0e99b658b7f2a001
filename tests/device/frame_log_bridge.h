#pragma once
// A transport in front of another that keeps every configuration frame written, whole and in
// order, and can act just before a chosen frame goes on (to give exactly that frame a fault).

#include "device/config_frame.h"
#include "device/hid_bridge.h"

#include <algorithm>
#include <functional>
#include <mutex>
#include <vector>

namespace tavrik::test {

class FrameLogBridge final : public HidBridge {
public:
    using Hook = std::function<void(const ConfigFrame&)>;

    explicit FrameLogBridge(HidBridge& inner)
        : inner_(inner) {}

    int32_t RequestGetDeviceCount(const UnitDescriptor& unit, uint32_t check) override {
        return inner_.RequestGetDeviceCount(unit, check);
    }
    int32_t RequestAsyncRead(const UnitDescriptor& unit, const UnitCallback* callback, UnitTag tag,
                             uint32_t check, uint32_t* requestId) override {
        return inner_.RequestAsyncRead(unit, callback, tag, check, requestId);
    }
    int32_t DeleteRequestFromUnitId(uint32_t requestId) override {
        return inner_.DeleteRequestFromUnitId(requestId);
    }
    int32_t RequestWriteOne(const UnitDescriptor& unit, std::span<const uint8_t> report,
                            uint32_t check) override {
        if (unit == kCtrlUnit && report.size() == kFrameSize)
            Log(report);
        return inner_.RequestWriteOne(unit, report, check);
    }
    int32_t RequestStatusWrite(const UnitDescriptor& unit, const UnitCallback* callback,
                               UnitTag tag, std::span<const uint8_t> status, uint32_t check,
                               uint32_t* requestId) override {
        return inner_.RequestStatusWrite(unit, callback, tag, status, check, requestId);
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

    HidBridge& inner_;
    mutable std::mutex mutex_;
    std::vector<ConfigFrame> frames_;
    Hook beforeFrame_;
};

} // namespace tavrik::test
