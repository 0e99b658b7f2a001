// Arbitrary bytes as a profile file: validation and loading must stay inside the bytes, and
// whatever was loaded must save to a well-formed file that loads back to the same contents.

#include "profile/profile_file.h"
#include "profile/profile_file_format.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

const std::filesystem::path& FuzzFile() {
    static const std::filesystem::path path = [] {
        const std::filesystem::path shm = "/dev/shm";
        const auto folder =
            std::filesystem::is_directory(shm) ? shm : std::filesystem::temp_directory_path();
        return folder / ("tavrik-profile-fuzz-" + std::to_string(::getpid()) + ".tvk");
    }();
    return path;
}

void Check(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tavrik;
    {
        std::ofstream out(FuzzFile(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    int messages = 0;
    const ProfileFileCheck check =
        ValidateProfileFile(FuzzFile(), [&](std::u16string_view) { ++messages; });
    Check(messages <= 1);

    LiveProfile profile;
    const bool loaded = LoadProfileFile(profile, FuzzFile());
    Check(loaded == (size >= kProfileRecordSize));
    Check(check != ProfileFileCheck::Acceptable || loaded);
    if (!loaded)
        return 0;

    const auto saved = SerialiseProfileFile(profile.Record(), profile.Macros(), profile.Texts());
    Check(saved.has_value());
    Check(IsAcceptableProfileHeader(std::span(*saved).first<kProfileHeaderSize>()));
    const auto reloaded = ParseProfileFile(*saved);
    Check(reloaded && reloaded->texts == profile.Texts() &&
          reloaded->macros.size() == profile.Macros().size());
    return 0;
}
