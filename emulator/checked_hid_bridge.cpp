#include "emulator/checked_hid_bridge.h"

namespace tavrik::emu {

namespace {

bool Checks(uint32_t check, const UnitDescriptor& unit, const UnitCallback* callback, uint32_t tag,
            std::span<const uint8_t> data) {
    return check == ArgumentCheck(unit, callback, tag, data);
}

} // namespace

int32_t CheckedHidBridge::RequestGetDeviceCount(const UnitDescriptor& unit, uint32_t check) {
    if (!Checks(check, unit, nullptr, 0, {}))
        return kArgumentCheckRefused;
    return CountDevices(unit);
}

int32_t CheckedHidBridge::RequestAsyncRead(const UnitDescriptor& unit, const UnitCallback* callback,
                                           UnitTag tag, uint32_t check, uint32_t* requestId) {
    if (!Checks(check, unit, callback, static_cast<uint32_t>(tag), {}) || callback == nullptr ||
        !*callback || requestId == nullptr)
        return kArgumentCheckRefused;
    return StartRead(unit, callback, tag, requestId);
}

int32_t CheckedHidBridge::DeleteRequestFromUnitId(uint32_t requestId) {
    if (requestId == 0)
        return 1;
    return DeleteRequest(requestId);
}

int32_t CheckedHidBridge::RequestWriteOne(const UnitDescriptor& unit,
                                          std::span<const uint8_t> report, uint32_t check) {
    if (!Checks(check, unit, nullptr, 0, report))
        return kArgumentCheckRefused;
    return WriteReport(unit, report);
}

int32_t CheckedHidBridge::RequestStatusWrite(const UnitDescriptor& unit,
                                             const UnitCallback* callback, UnitTag tag,
                                             std::span<const uint8_t> status, uint32_t check,
                                             uint32_t* requestId) {
    if (!Checks(check, unit, callback, static_cast<uint32_t>(tag), status))
        return kArgumentCheckRefused;
    return WriteStatus(unit, status, requestId);
}

} // namespace tavrik::emu
