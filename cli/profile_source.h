#pragma once
// Where import and diff take a profile file (".tvk") or a profile written as text
// (profile_text.h) from.

#include "names/profile_text_file.h"

#include <string>
#include <variant>

namespace tavrik::cli {

using LoadedProfile = ProfileWithLighting;

// The profile, or the one line that says why there is none.
using ProfileSource = std::variant<LoadedProfile, std::string>;

// A profile file when the file begins with a profile header's magic, otherwise a profile as
// text. Everything is checked before anything is returned: a profile file as an import checks
// it, a text line by line ("FILE:LINE: expected ..."). Nothing is read when the file is no
// regular file or too large for either format.
ProfileSource ReadProfileSource(const std::string& path);

} // namespace tavrik::cli
