#pragma once
// Edits made on a copy of the keyboard, carried over to what the keyboard holds now. The desktop
// program keeps the profile it read from the keyboard while the user edits it, and downloads it
// only on Apply; another program (tavrikctl in a script, say) may have written to the keyboard
// meanwhile. Downloading the edited profile as it stands would put back everything that program
// changed. Instead the user's edits, every key function and every macro that differs between the
// profile as read and as edited, are made again on the profile the keyboard holds now.

#include "profile/profile_file_format.h"

#include <memory>

namespace tavrik {

// `base` is the profile as it was read from the keyboard, `edited` the same after the user's
// edits, `current` what the keyboard holds now (read back into a profile). The result is
// `current` with:
// - every key function that `edited` changed from `base`, with its text, a macro key playing the
//   same macro as in `edited`; the user's key wins where both programs changed the same key;
// - every macro the user changed in place of the keyboard's copy of its old form (or added, when
//   the keyboard no longer holds that), every macro the user added, and without the macros the
//   user deleted, unless a key of `current` plays one of those.
// Macros keep their ids in `current`; added ones get the smallest free id. Nothing when the
// macros do not fit together in the 100 a profile holds.
std::unique_ptr<ProfileContents> RebaseEdits(const ProfileContents& base,
                                             const ProfileContents& edited,
                                             const ProfileContents& current);

} // namespace tavrik
