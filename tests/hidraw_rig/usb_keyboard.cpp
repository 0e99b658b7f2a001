#include "hidraw_rig/usb_keyboard.h"

#include "device/known_units.h"

#include <algorithm>

namespace tavrik::rig {

namespace {

inline constexpr uint8_t kConsReport = 3;
inline constexpr uint8_t kCtrlReport = 4;
inline constexpr uint8_t kLedReport = 5;

// The boot keyboard of the HID specification: modifiers, a reserved byte and six keys in, five
// indicator lights out. It carries no report ids.
const std::vector<uint8_t> kBootKeyboard = {
    0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15, 0x00, 0x25, 0x01,
    0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0x95, 0x01, 0x75, 0x08, 0x81, 0x01, 0x95, 0x05, 0x75, 0x01,
    0x05, 0x08, 0x19, 0x01, 0x29, 0x05, 0x91, 0x02, 0x95, 0x01, 0x75, 0x03, 0x91, 0x01, 0x95, 0x06,
    0x75, 0x08, 0x15, 0x00, 0x25, 0x65, 0x05, 0x07, 0x19, 0x00, 0x29, 0x65, 0x81, 0x00, 0xC0};

// The keyboard's events: one 16-bit code in.
std::vector<uint8_t> ConsCollection(uint8_t id) {
    return {0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, id,   0x19, 0x00, 0x2A, 0xFF, 0xFF, 0x15,
            0x00, 0x27, 0xFF, 0xFF, 0x00, 0x00, 0x75, 0x10, 0x95, 0x01, 0x81, 0x00, 0xC0};
}

// Configuration frames: 63 bytes after the report id, in and out.
std::vector<uint8_t> CtrlCollection(uint8_t id) {
    return {0x06, 0x1C, 0xFF, 0x09, 0x92, 0xA1, 0x01, 0x85, id,   0x09,
            0x01, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x3F,
            0x81, 0x02, 0x09, 0x02, 0x95, 0x3F, 0x91, 0x02, 0xC0};
}

// The indicator status: one byte out.
std::vector<uint8_t> LedCollection(uint8_t id) {
    return {0x05, 0x08, 0x09, 0x89, 0xA1, 0x01, 0x85, id,   0x09, 0x01, 0x15,
            0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x01, 0x91, 0x02, 0xC0};
}

std::vector<uint8_t> Joined(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

UsbInterface BootInterface() {
    return {.number = 0, .descriptor = kBootKeyboard, .reports = {}, .subClass = 1, .protocol = 1};
}

std::vector<UsbInterface> SharedInterfaces() {
    return {BootInterface(),
            {.number = 1,
             .descriptor = Joined({ConsCollection(kConsReport), CtrlCollection(kCtrlReport),
                                   LedCollection(kLedReport)}),
             .reports = {{kConsReport, UnitTag::Cons},
                         {kCtrlReport, UnitTag::Ctrl},
                         {kLedReport, UnitTag::Led}}}};
}

std::vector<UsbInterface> SeparateInterfaces() {
    return {BootInterface(),
            {.number = 1,
             .descriptor = ConsCollection(kConsReport),
             .reports = {{kConsReport, UnitTag::Cons}}},
            {.number = 2,
             .descriptor = CtrlCollection(kCtrlReport),
             .reports = {{kCtrlReport, UnitTag::Ctrl}}},
            {.number = 3,
             .descriptor = LedCollection(kLedReport),
             .reports = {{kLedReport, UnitTag::Led}}}};
}

} // namespace

std::optional<uint8_t> UsbInterface::ReportIdOf(UnitTag unit) const {
    const auto found = std::ranges::find(reports, unit, &UnitReport::unit);
    return found == reports.end() ? std::nullopt : std::optional(found->reportId);
}

std::optional<UnitTag> UsbInterface::UnitOf(uint8_t reportId) const {
    const auto found = std::ranges::find(reports, reportId, &UnitReport::reportId);
    return found == reports.end() ? std::nullopt : std::optional(found->unit);
}

std::optional<KeyboardShape> ParseKeyboardShape(std::string_view name) {
    if (name == "shared")
        return KeyboardShape::Shared;
    if (name == "separate")
        return KeyboardShape::Separate;
    return std::nullopt;
}

UsbKeyboard Vx60Keyboard(KeyboardShape shape) {
    return {.vendorId = kKeyboardVendorId,
            .productId = kKeyboardProductId,
            .release = 0x0100,
            .manufacturer = "VOLTRI",
            .product = "VX60 Gaming Keyboard",
            .serial = "VX60RIG0001",
            .interfaces =
                shape == KeyboardShape::Shared ? SharedInterfaces() : SeparateInterfaces()};
}

} // namespace tavrik::rig
