#pragma once
// A profile rebuilt from what the keyboard holds, keeping what only the computer knows. The
// keyboard stores three key maps and its macros; the G keys, the fourth layer, the texts of
// program and text-block keys and, where the macro memory had no room for them, the macros' names
// exist only in the computer's copy. A reload takes each of those from the previous copy wherever
// the keyboard still holds what that copy would have sent, so a reload never loses them.

#include "profile/profile_file_format.h"
#include "profile/profile_keyboard.h"

#include <filesystem>
#include <memory>

namespace tavrik {

// Layers 0..2 from the keyboard's key maps read against its default layout, the macros from its
// macro image (ids = position + 1), and from `previous` (when given): every entry the key maps
// leave as it was (a key that plays a macro only when the keyboard holds that macro unchanged at
// the same place, renumbered), the fourth layer, the kept entries' texts, and the names of the
// macros the keyboard holds unchanged but without a name.
std::unique_ptr<ProfileContents> ProfileFromKeyboard(const KeyboardContents& keyboard,
                                                     const KeyMapBlock& defaultLayout,
                                                     const ProfileContents* previous);

// The contents of an acceptable profile file; nothing when it is missing or not acceptable.
std::unique_ptr<ProfileContents> ReadProfileContents(const std::filesystem::path& path);

} // namespace tavrik
