#pragma once
// What is read from every keyboard as it arrives: its factory key map and the size of its macro
// memory, both kept in KeyboardFacts for the editors and the download.

#include "device/device_commands.h"
#include "device/keyboard_facts.h"

#include <functional>
#include <string_view>

namespace tavrik {

using DeviceMessageCallback = std::function<void(std::u16string_view)>;

struct AttachReadResults {
    DeviceResult defaultLayout = DeviceResult::NoKeyboard;
    DeviceResult settings = DeviceResult::NoKeyboard;
};

// Command 3: the size of the macro memory into `facts`; a failed read keeps the previous one.
DeviceResult ReadMacroCapacity(DeviceCommands& commands, KeyboardFacts& facts);

// Command 15, then command 3. A failed layout read shows kDefaultLayoutReadFailed through
// `showMessage` (no exchange lock is held while it runs) and keeps the previous layout; a
// failed settings read keeps the previous capacity.
AttachReadResults ReadAttachedKeyboard(DeviceCommands& commands, KeyboardFacts& facts,
                                       const DeviceMessageCallback& showMessage);

} // namespace tavrik
