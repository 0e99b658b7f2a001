#pragma once
// Whether a live profile holds what the keyboard holds: downloading it would send the keyboard
// exactly what it has. What only the computer knows (G keys, the fourth layer, texts) may differ.

#include "macro_record/macro_record.h"
#include "profile/profile_keyboard.h"
#include "profile/profile_record.h"

#include "assign/key_map_entry.h"

#include <span>
#include <vector>

namespace tavrik {

// Layers 0..2 build the keyboard's three key maps, and the macros play what its macro image
// holds, in the same order (names count where the keyboard holds them).
bool MirrorsKeyboard(const ProfileRecord& record, std::span<const MacroRecord> macros,
                     const KeyboardContents& keyboard, const KeyMapBlock& defaultLayout);

// A key map entry of the keyboard that the profile does not build back as it is: the program
// reads it as another function (bytes it has no function for, say).
struct UnmirroredEntry {
    size_t profile = 0;
    KeyPosition position = 0;
    KeyMapEntry held;  // what the keyboard holds
    KeyMapEntry built; // what the profile would write there
};

// Every such entry of the three key maps, in profile and position order.
std::vector<UnmirroredEntry> EntriesNotMirrored(const ProfileRecord& record,
                                                std::span<const MacroRecord> macros,
                                                const KeyboardContents& keyboard,
                                                const KeyMapBlock& defaultLayout);

} // namespace tavrik
