#include "cli/profile_source.h"

#include "cli/keyboard_session.h"
#include "cli/profile_file_check.h"
#include "files/file_read.h"
#include "names/profile_text.h"
#include "profile/profile_header.h"

#include <string_view>

namespace tavrik::cli {

namespace {

bool BeginsWithProfileMagic(std::span<const uint8_t> bytes) {
    return bytes.size() >= 2 && (bytes[0] | bytes[1] << 8) == kProfileMagic;
}

ProfileSource ReadProfileFileSource(const std::string& path, std::span<const uint8_t> bytes) {
    if (std::string problem = ProfileFileProblem(path); !problem.empty())
        return problem;
    std::unique_ptr<ProfileContents> contents = ParseProfileFile(bytes);
    if (!contents)
        return "cannot read " + path;
    return LoadedProfile{std::move(contents), std::nullopt};
}

ProfileSource ReadTextSource(const std::string& path, std::span<const uint8_t> bytes) {
    std::optional<ProfileLighting> lighting;
    auto parsed = ParseProfileText(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), &lighting);
    if (auto* error = std::get_if<ProfileTextError>(&parsed))
        return path + ":" + std::to_string(error->line) + ": " + error->message;
    return LoadedProfile{std::move(std::get<std::unique_ptr<ProfileContents>>(parsed)), lighting};
}

} // namespace

ProfileSource ReadProfileSource(const std::string& path) {
    // A text may be larger than any profile file, so the text's limit decides what is read.
    static_assert(kProfileTextKind.largestSize >= kProfileFileKind.largestSize);
    const FileRead read = ReadWholeFile(path, kProfileTextKind);
    if (read.status != FileReadStatus::Read)
        return FileReadProblem(read, path, kProfileTextKind);
    return BeginsWithProfileMagic(read.bytes) ? ReadProfileFileSource(path, read.bytes)
                                              : ReadTextSource(path, read.bytes);
}

LoadedProfile KeyboardProfile(KeyboardSession& session) {
    LoadedProfile loaded;
    {
        LiveProfile& profile = session.Profile();
        const LiveProfile::Lock lock = profile.LockProfile();
        loaded.contents = std::make_unique<ProfileContents>(
            ProfileContents{profile.Record(), profile.Macros(), profile.Texts()});
    }
    loaded.lighting =
        session.WithLighting([](LightingModel& lighting) { return LightingOf(lighting.State()); });
    return loaded;
}

} // namespace tavrik::cli
