#include "names/profile_text_file.h"

#include "files/file_replace.h"
#include "names/profile_text.h"
#include "profile/profile_header.h"

#include <string_view>

namespace tavrik {

bool BeginsWithProfileMagic(std::span<const uint8_t> bytes) {
    return bytes.size() >= 2 && (bytes[0] | bytes[1] << 8) == kProfileMagic;
}

std::variant<ProfileWithLighting, std::string>
ParseProfileTextFile(const std::string& path, std::span<const uint8_t> bytes) {
    std::optional<ProfileLighting> lighting;
    auto parsed = ParseProfileText(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), &lighting);
    if (auto* error = std::get_if<ProfileTextError>(&parsed))
        return path + ":" + std::to_string(error->line) + ": " + error->message;
    return ProfileWithLighting{std::move(std::get<std::unique_ptr<ProfileContents>>(parsed)),
                               lighting};
}

bool WriteProfileTextFile(const std::filesystem::path& path, const ProfileContents& contents,
                          const ProfileLighting* lighting, std::string* error) {
    const std::string text = FormatProfileText(contents, lighting);
    return ReplaceFile(path, {reinterpret_cast<const uint8_t*>(text.data()), text.size()}, error);
}

} // namespace tavrik
