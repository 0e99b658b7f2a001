#pragma once
// Where export, import and diff take a profile from: a profile file (".tvk"), a profile written
// as text (profile_text.h), or the keyboard.

#include "names/profile_lighting.h"
#include "profile/profile_file_format.h"

#include <memory>
#include <optional>
#include <string>
#include <variant>

namespace tavrik::cli {

class KeyboardSession;

struct LoadedProfile {
    std::unique_ptr<ProfileContents> contents;
    std::optional<ProfileLighting> lighting; // the keyboard's, or a text's lighting section
};

// The profile, or the one line that says why there is none.
using ProfileSource = std::variant<LoadedProfile, std::string>;

// A profile file when the file begins with a profile header's magic, otherwise a profile as
// text. Everything is checked before anything is returned: a profile file as an import checks
// it, a text line by line ("FILE:LINE: expected ..."). Nothing is read when the file is no
// regular file or too large for either format.
ProfileSource ReadProfileSource(const std::string& path);

// The keyboard's configuration as the live profile mirrors it, with the lighting read at start;
// call after RequireMirroredProfile and RequireLighting.
LoadedProfile KeyboardProfile(KeyboardSession& session);

} // namespace tavrik::cli
