#pragma once
// Whether a live profile holds what the keyboard holds.

#include "macro_record/macro_record.h"
#include "profile/profile_keyboard.h"
#include "profile/profile_record.h"

#include <span>

namespace tavrik {

// Layers 0..2 are the keyboard's three key maps read against its default layout, layer 3 is
// empty, and the macros are those of its macro image.
bool MirrorsKeyboard(const ProfileRecord& record, std::span<const MacroRecord> macros,
                     const KeyboardContents& keyboard, const KeyMapBlock& defaultLayout);

} // namespace tavrik
