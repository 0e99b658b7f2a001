#pragma once
// Sends the applied snapshot to the keyboard: the macro image (with names when the macro memory
// has room for them) and the key map of one or all hardware profiles, in one configuration
// bracket. Everything it needs comes in as arguments; the caller holds the locks.

#include "assign/key_function_entry.h"
#include "device/device_commands.h"
#include "macro_record/macro_record.h"

#include <cstddef>
#include <functional>
#include <span>
#include <string_view>

namespace tavrik {

// What was applied: the profile's layers and its macro array.
struct DownloadSnapshot {
    const KeyFunctionLayers& layers;
    std::span<const MacroRecord> macros;
};

// What the keyboard reported when it was attached.
struct KeyboardMemory {
    const KeyMapBlock& defaultLayout;
    size_t macroCapacity = 0; // bytes (settings byte 11 x 128)
};

// All three hardware profiles (loading a profile file: the keyboard ends with exactly these bytes
// whatever it held; a frame believed to be there already is read again first, and sent only if it
// is not), or only the active one (applying the main window's changes; -1 = not known, and then
// nothing can be sent).
struct DownloadTarget {
    bool allProfiles = false;
    int activeProfile = -1;

    static DownloadTarget AllProfiles() { return {.allProfiles = true}; }
    static DownloadTarget ActiveProfile(int index) { return {.activeProfile = index}; }
};

using MessageCallback = std::function<void(std::u16string_view)>;

// How a download went. The outcome the program reports is the last key map write's; whether the
// download is finished, or must be sent again because the keyboard may hold part of it, depends
// on every frame: begin, the macro image, each key map and end.
struct DownloadResult {
    bool lastKeyMapWritten = false;
    bool everyFrameWritten = false;
};

// Nothing is sent when the macros do not fit the macro memory even without names (the user is
// told) or when the active profile is not known; when only the names do not fit the download goes
// ahead and the user is told after it.
DownloadResult DownloadToKeyboard(DeviceCommands& commands, const DownloadSnapshot& snapshot,
                                  const KeyboardMemory& keyboard, DownloadTarget target,
                                  const MessageCallback& showMessage);

} // namespace tavrik
