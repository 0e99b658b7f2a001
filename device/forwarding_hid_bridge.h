#pragma once
// A transport in front of another that passes every call on unchanged. Decorators that watch,
// log or count the traffic derive from it and override only the calls they care about.

#include "device/hid_bridge.h"

#include <memory>

namespace tavrik {

class ForwardingHidBridge : public HidBridge {
public:
    explicit ForwardingHidBridge(HidBridge& inner)
        : inner_(inner) {}
    // Owns the transport it forwards to.
    explicit ForwardingHidBridge(std::unique_ptr<HidBridge> owned)
        : owned_(std::move(owned))
        , inner_(*owned_) {}

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
        return inner_.RequestWriteOne(unit, report, check);
    }
    int32_t RequestStatusWrite(const UnitDescriptor& unit, const UnitCallback* callback,
                               UnitTag tag, std::span<const uint8_t> status, uint32_t check,
                               uint32_t* requestId) override {
        return inner_.RequestStatusWrite(unit, callback, tag, status, check, requestId);
    }
    bool KeyboardPresentButNotAccessible() const override {
        return inner_.KeyboardPresentButNotAccessible();
    }
    std::optional<TurnPlace> KeyboardTurnPlace() const override {
        return inner_.KeyboardTurnPlace();
    }

private:
    std::unique_ptr<HidBridge> owned_;
    HidBridge& inner_;
};

} // namespace tavrik
