#pragma once
// The real HidPlatform: hidapi's hidraw backend for listing, opening, reading and writing, sysfs
// for report descriptors (hidapi 0.13 has no call for them) and a libudev monitor of the hidraw
// subsystem for nodes coming and going.

#include "device/hid_platform.h"

#include <memory>
#include <string>

namespace tavrik {

// Nothing and the reason when hidapi cannot be initialised.
std::unique_ptr<HidPlatform> MakeHidapiPlatform(std::string* error);

} // namespace tavrik
