#pragma once
// The part every emulator backend shares: each call's ArgumentCheck is verified before the
// backend sees it, and a call that does not match its check is refused with
// kArgumentCheckRefused.

#include "device/hid_bridge.h"

#include <cstdint>
#include <span>

namespace tavrik::emu {

class CheckedHidBridge : public HidBridge {
public:
    int32_t RequestGetDeviceCount(const UnitDescriptor& unit, uint32_t check) final;
    int32_t RequestAsyncRead(const UnitDescriptor& unit, const UnitCallback* callback, UnitTag tag,
                             uint32_t check, uint32_t* requestId) final;
    int32_t DeleteRequestFromUnitId(uint32_t requestId) final;
    int32_t RequestWriteOne(const UnitDescriptor& unit, std::span<const uint8_t> report,
                            uint32_t check) final;
    int32_t RequestStatusWrite(const UnitDescriptor& unit, const UnitCallback* callback,
                               UnitTag tag, std::span<const uint8_t> status, uint32_t check,
                               uint32_t* requestId) final;

protected:
    // Called with verified arguments. A standing read always has a callback and a place for its id.
    virtual int32_t CountDevices(const UnitDescriptor& unit) = 0;
    virtual int32_t StartRead(const UnitDescriptor& unit, const UnitCallback* callback, UnitTag tag,
                              uint32_t* requestId) = 0;
    virtual int32_t DeleteRequest(uint32_t requestId) = 0;
    virtual int32_t WriteReport(const UnitDescriptor& unit, std::span<const uint8_t> report) = 0;
    virtual int32_t WriteStatus(const UnitDescriptor& unit, std::span<const uint8_t> status,
                                uint32_t* requestId) = 0;
};

} // namespace tavrik::emu
