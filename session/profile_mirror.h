#pragma once
// Whether a live profile holds what the keyboard holds: downloading it would send the keyboard
// exactly what it has. What only the computer knows (G keys, the fourth layer, texts) may differ.

#include "macro_record/macro_record.h"
#include "profile/profile_keyboard.h"
#include "profile/profile_record.h"

#include <span>

namespace tavrik {

// Layers 0..2 build the keyboard's three key maps, and the macros play what its macro image
// holds, in the same order (names count where the keyboard holds them).
bool MirrorsKeyboard(const ProfileRecord& record, std::span<const MacroRecord> macros,
                     const KeyboardContents& keyboard, const KeyMapBlock& defaultLayout);

} // namespace tavrik
