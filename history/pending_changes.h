#pragma once
// What the next Apply will change on the keyboard: the live profile against the profile as it
// was when last in step with the keyboard (KeyboardStack::InStepCopy). The main window marks the
// keys it lists, and lists keys and macros for the user to read and to revert all at once.

#include "profile/profile_file_format.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace tavrik {

struct PendingKey {
    size_t layer = 0;
    size_t slot = 0;
    std::u16string key;  // the key's name
    std::u16string from; // what it does on the keyboard now
    std::u16string to;   // what it will do after Apply
    bool operator==(const PendingKey&) const = default;
};

enum class PendingMacroKind { Added, Changed, Deleted };

struct PendingMacro {
    PendingMacroKind kind = PendingMacroKind::Changed;
    std::u16string name;
    bool operator==(const PendingMacro&) const = default;
};

struct PendingChanges {
    std::vector<PendingKey> keys;     // hardware profiles 1..3 in order, slots in order
    std::vector<PendingMacro> macros; // the keyboard's macros first, then those added
    bool Empty() const { return keys.empty() && macros.empty(); }
    bool operator==(const PendingChanges&) const = default;
};

// Keys are those of the three hardware profiles whose entry differs (the fourth layer is only
// carried); macros are matched by id, and one is changed when its name, loop count or actions
// differ.
PendingChanges FindPendingChanges(const ProfileContents& inStep, const ProfileContents& live);

// "已更改: Q → W", the line a key's tooltip gains.
std::u16string PendingKeyText(const PendingKey& key);
// A line of the list: "Q: Q → W" for the active profile, "情景模式 2 · Q: Q → W" for another;
// "新宏 宏1" and the like for macros.
std::u16string PendingKeyLine(const PendingKey& key, std::optional<size_t> activeLayer);
std::u16string PendingMacroLine(const PendingMacro& macro);

} // namespace tavrik
