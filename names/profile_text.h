#pragma once
// A whole profile (what a ".tvk" file holds) as text that people read, edit and compare with
// `git diff`. One fact a line, in a fixed order, so that two writings of the same profile are
// identical and a change of one key shows as one changed line:
//
//     tavrik-profile-text 1
//     identity 4B482000...                  only when it differs from the usual block
//     layer 0 "Caps Lock" disabled
//     layer 1 "F1" media "Volume Up"
//     layer 0 G1/A macro 3 code 2
//     macro 3 "Copy" loop 1
//       Left Ctrl down 30
//       Left Ctrl up 0
//     end
//     lighting effect per-key              only in a text made from the keyboard
//     lighting key "Q" 010101
//
// The key functions come by layer, then slot; only entries that differ from a new profile are
// written. Macros come in the file's order, their actions in the macro action format
// (action_text.h). Everything else a file holds is written when it is not the usual value, so
// that reading the text back gives the same file byte for byte. A profile file holds no
// lighting; a text made from the keyboard ends with the keyboard's lighting
// (profile_lighting_text.h). The format is described in docs/tavrikctl.md.

#include "names/profile_lighting.h"
#include "profile/profile_file_format.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace tavrik {

inline constexpr std::string_view kProfileTextFirstLine = "tavrik-profile-text 1";

// Room for a line per key function entry, per macro action and for every text, with names.
inline constexpr FileKind kProfileTextKind{"a profile as text", 64ULL << 20};

struct ProfileTextError {
    size_t line = 0; // 1-based
    std::string message;
};

// With the lighting section when `lighting` is given.
std::string FormatProfileText(const ProfileContents& contents,
                              const ProfileLighting* lighting = nullptr);

// The lighting, when the text has a lighting section, goes to `lighting` (if given).
std::variant<std::unique_ptr<ProfileContents>, ProfileTextError>
ParseProfileText(std::string_view text, std::optional<ProfileLighting>* lighting = nullptr);

} // namespace tavrik
