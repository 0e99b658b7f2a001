#pragma once
// Where export, import and diff take a profile from: a profile file (".tvk"), a profile written
// as text (profile_text.h), or the keyboard.

#include "profile/profile_file_format.h"

#include <memory>
#include <string>
#include <variant>

namespace tavrik::cli {

class KeyboardSession;

// The contents, or the one line that says why there are none.
using ProfileSource = std::variant<std::unique_ptr<ProfileContents>, std::string>;

// A profile file when the file begins with a profile header's magic, otherwise a profile as
// text. Everything is checked before anything is returned: a profile file as an import checks
// it, a text line by line ("FILE:LINE: expected ..."). Nothing is read when the file is no
// regular file or too large for either format.
ProfileSource ReadProfileSource(const std::string& path);

// The keyboard's configuration as the live profile mirrors it; call after
// RequireMirroredProfile.
ProfileContents KeyboardProfile(KeyboardSession& session);

} // namespace tavrik::cli
