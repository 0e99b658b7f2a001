#pragma once
// The VX60 as the USB bus shows it to Linux: the device's identity and strings, and its HID
// interfaces with their report descriptors. Each interface becomes one hid device with one hidraw
// node; a report id says which unit (CONS, CTRL, LED) a report on that node belongs to.

#include "device/hid_bridge.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrik::rig {

struct UnitReport {
    uint8_t reportId = 0;
    UnitTag unit = UnitTag::None;
};

struct UsbInterface {
    int number = 0;
    std::vector<uint8_t> descriptor;
    std::vector<UnitReport> reports; // empty for the boot keyboard
    uint8_t subClass = 0;            // 1 for the boot interface
    uint8_t protocol = 0;            // 1 for a boot keyboard

    // The report id the unit's reports carry on this interface.
    std::optional<uint8_t> ReportIdOf(UnitTag unit) const;
    // The unit whose report carries `reportId` on this interface.
    std::optional<UnitTag> UnitOf(uint8_t reportId) const;
};

// How the units are spread over the interfaces.
enum class KeyboardShape {
    Shared,   // the boot keyboard on interface 0, CONS, CTRL and LED together on interface 1
    Separate, // the boot keyboard on interface 0, then one interface per unit
};

std::optional<KeyboardShape> ParseKeyboardShape(std::string_view name);

struct UsbKeyboard {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t release = 0; // bcdDevice
    std::string manufacturer;
    std::string product;
    std::string serial;
    std::vector<UsbInterface> interfaces;

    // The kernel's name of the HID device: manufacturer and product.
    std::string HidName() const { return manufacturer + " " + product; }
};

UsbKeyboard Vx60Keyboard(KeyboardShape shape);

} // namespace tavrik::rig
