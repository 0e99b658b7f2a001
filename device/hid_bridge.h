#pragma once
// The transport boundary: every USB exchange with the keyboard goes through a HidBridge.
// A backend (hidapi for real keyboards, the emulated keyboard in-process or over a socket)
// implements these operations; the rest of the program never learns which one it talks to.

#include "device/turn_place.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

namespace tavrik {

// Four-character codes naming the keyboard's HID top-level collections ("units").
enum class UnitTag : uint32_t {
    None = 0,
    Led = 0x004C4544,  // "LED": 2-byte indicator status written by the program
    Cons = 0x434F4E53, // "CONS": the keyboard's own events
    Ctrl = 0x4354524C, // "CTRL": 64-byte configuration reports
};

// Names one unit of one kind of keyboard. Serialised little-endian it is 16 bytes, which is
// what ArgumentCheck covers.
struct UnitDescriptor {
    uint32_t matchMask = 0x0000000F;
    uint16_t vendorId = 0x04B4;
    uint16_t productId = 0x2009;
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    uint32_t reserved = 0;

    std::array<uint8_t, 16> Bytes() const;
    bool operator==(const UnitDescriptor&) const = default;
};

inline constexpr UnitDescriptor kLedUnit{.usagePage = 0x0008, .usage = 0x0089};
inline constexpr UnitDescriptor kConsUnit{.usagePage = 0x000C, .usage = 0x0001};
inline constexpr UnitDescriptor kCtrlUnit{.usagePage = 0xFF1C, .usage = 0x0092};

// What a backend reports to a standing request.
enum class NotificationKind : uint32_t {
    CountChanged = 0,   // the number of attached keyboards with this unit changed
    ReportReceived = 1, // an input report arrived
};

struct UnitEvent {
    uint32_t tag = 0;                // the UnitTag the request was issued with
    uint32_t lengthOrCount = 0;      // report length (ReportReceived) or new count (CountChanged)
    const uint8_t* report = nullptr; // the report bytes; valid only during the callback
};

struct UnitNotification {
    uint32_t kind = 0; // a NotificationKind; kept raw so that unknown kinds can be ignored
    UnitEvent event;
};

// Called on the backend's own thread; returns 1.
using UnitCallback = std::function<int(const UnitNotification&)>;

// The integrity word every caller computes over a call's arguments and every backend checks:
// the sum of kArgumentCheckTable[b] over the 16 descriptor bytes, the low 32 bits of the callback
// address (little-endian, 0 for none), the tag (little-endian, 0 for none) and the data bytes.
uint32_t ArgumentCheck(const UnitDescriptor& unit, const UnitCallback* callback, uint32_t tag,
                       std::span<const uint8_t> data);

// Results are signed: > 0 success (a count, a request accepted), 0 nothing there, < 0 refused.
// A call whose check does not match its arguments is refused with kArgumentCheckRefused.
inline constexpr int32_t kArgumentCheckRefused = -1;

class HidBridge {
public:
    virtual ~HidBridge() = default;

    // Number of attached keyboards that have this unit; 0 = none.
    virtual int32_t RequestGetDeviceCount(const UnitDescriptor& unit, uint32_t check) = 0;

    // Standing read: every input report of the unit and every change of the attached count
    // reaches the callback until the request is deleted. Stores the request id.
    virtual int32_t RequestAsyncRead(const UnitDescriptor& unit, const UnitCallback* callback,
                                     UnitTag tag, uint32_t check, uint32_t* requestId) = 0;

    // Cancels a standing request; id 0 (never issued) is accepted and does nothing.
    virtual int32_t DeleteRequestFromUnitId(uint32_t requestId) = 0;

    // Writes one output report (64 bytes for the CTRL unit); > 0 = written.
    virtual int32_t RequestWriteOne(const UnitDescriptor& unit, std::span<const uint8_t> report,
                                    uint32_t check) = 0;

    // Writes a short status report (2 bytes for the LED unit). Stores a request id.
    virtual int32_t RequestStatusWrite(const UnitDescriptor& unit, const UnitCallback* callback,
                                       UnitTag tag, std::span<const uint8_t> status, uint32_t check,
                                       uint32_t* requestId) = 0;

    // True when a keyboard is there but the program may not open it (on Linux: no access to
    // its hidraw node until the udev rule is installed). Such a keyboard is not counted.
    virtual bool KeyboardPresentButNotAccessible() const { return false; }

    // Where the programs using the attached keyboard take turns on it (see keyboard_turn.h);
    // nothing when no other program can reach it (a keyboard inside this process) or none is
    // attached.
    virtual std::optional<TurnPlace> KeyboardTurnPlace() const { return std::nullopt; }
};

} // namespace tavrik
