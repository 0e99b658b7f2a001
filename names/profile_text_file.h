#pragma once
// A profile in a file of either kind, told apart by its first bytes: a profile file (".tvk")
// begins with its header's magic, anything else is taken for a profile as text (profile_text.h).

#include "names/profile_lighting.h"
#include "profile/profile_file_format.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <variant>

namespace tavrik {

// A profile and, when it came with one (the keyboard's, or a text's lighting section), the
// lighting.
struct ProfileWithLighting {
    std::unique_ptr<ProfileContents> contents;
    std::optional<ProfileLighting> lighting;
};

bool BeginsWithProfileMagic(std::span<const uint8_t> bytes);

// The profile written as text in `bytes`, or the one line that says what is wrong, as
// "PATH:LINE: expected ...".
std::variant<ProfileWithLighting, std::string> ParseProfileTextFile(const std::string& path,
                                                                    std::span<const uint8_t> bytes);

// The profile (with the lighting when given) as text into `path`, replaced all or nothing; false
// with the reason in `error` when it could not be written.
bool WriteProfileTextFile(const std::filesystem::path& path, const ProfileContents& contents,
                          const ProfileLighting* lighting, std::string* error);

} // namespace tavrik
