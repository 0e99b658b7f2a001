#pragma once
// The keyboard's hidraw nodes as hidapi lists them, and a report descriptor that puts all three
// units behind one interface, for tests on the fake platform.

#include "device/hid_platform.h"

#include <cstdint>
#include <vector>

namespace tavrik::test {

inline const HidCollectionInfo kLed{"", 0x0008, 0x0089};
inline const HidCollectionInfo kCons{"", 0x000C, 0x0001};
inline const HidCollectionInfo kCtrl{"", 0xFF1C, 0x0092};
inline const HidCollectionInfo kBootKeyboard{"", 0x0001, 0x0006};

// A node only root may open, as hidraw nodes are without the udev rule.
inline const HidNodeAccess kRootOnly{.known = true,
                                     .ownerId = 0,
                                     .groupId = 0,
                                     .mode = 0600,
                                     .owner = "root",
                                     .group = "root",
                                     .uaccessTag = false};

// Consumer events as report 3, configuration frames as report 4, the indicator status as
// report 5, all behind one interface.
inline const std::vector<uint8_t> kSharedDescriptor = {
    0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x03, 0x15, 0x00, 0x26, 0xFF, 0x03, 0x75, 0x10,
    0x95, 0x01, 0x81, 0x00, 0xC0, // consumer
    0x06, 0x1C, 0xFF, 0x09, 0x92, 0xA1, 0x01, 0x85, 0x04, 0x09, 0x01, 0x75, 0x08, 0x95, 0x3F,
    0x81, 0x02, 0x09, 0x02, 0x91, 0x02, 0xC0, // vendor
    0x05, 0x08, 0x09, 0x89, 0xA1, 0x01, 0x85, 0x05, 0x09, 0x01, 0x95, 0x01, 0x91, 0x02, 0xC0, // LED
};

} // namespace tavrik::test
