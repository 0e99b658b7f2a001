#include "profile/profile_file.h"

#include "profile/file_access.h"
#include "profile/native_path.h"
#include "profile/profile_messages.h"

#include <new>

namespace tavrik {

namespace {

constexpr uint64_t kLargestProfileFile = uint64_t{1} << 32; // exclusive

} // namespace

ProfileFileCheck ValidateProfileFile(const std::filesystem::path& path,
                                     const MessageCallback& showMessage) {
    const ReadOnlyFile file(path);
    if (file.Status() == FileOpenStatus::Missing)
        return ProfileFileCheck::Rejected;
    if (file.Status() == FileOpenStatus::CannotOpen)
        return ProfileFileCheck::CannotOpen;
    if (file.Size() >= kLargestProfileFile || file.Size() < kProfileRecordSize)
        return ProfileFileCheck::Rejected;

    std::vector<uint8_t> bytes;
    try {
        if (!file.ReadPrefix(file.Size(), bytes))
            return ProfileFileCheck::CannotOpen;
    } catch (const std::bad_alloc&) {
        return ProfileFileCheck::NoMemory;
    }
    if (IsAcceptableProfileHeader(std::span(bytes).first<kProfileHeaderSize>()))
        return ProfileFileCheck::Acceptable;
    if (showMessage) {
        std::u16string message(profile_text::kFormatErrorRestoringDefaults);
        message += PathText(path);
        showMessage(message);
    }
    return ProfileFileCheck::Rejected;
}

bool LoadProfileFile(LiveProfile& profile, const std::filesystem::path& path) {
    const ReadOnlyFile file(path);
    try {
        std::vector<uint8_t> bytes;
        if (!file.ReadPrefix(kProfileRecordSize, bytes) || bytes.size() < kProfileRecordSize)
            return false;
        const ProfileHeader header =
            ParseProfileHeader(std::span(bytes).first<kProfileHeaderSize>());
        if (!file.ReadPrefix(AnnouncedProfileFileSize(header), bytes))
            return false;
        auto contents = ParseProfileFile(bytes);
        if (!contents)
            return false;
        const LiveProfile::Lock lock = profile.LockProfile();
        profile.Install(std::move(*contents));
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool SaveProfileFile(LiveProfile& profile, const std::filesystem::path& path) {
    try {
        const LiveProfile::Lock lock = profile.LockProfile();
        const auto bytes =
            SerialiseProfileFile(profile.Record(), profile.Macros(), profile.Texts());
        return bytes && ReplaceFileContents(path, *bytes);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool CreateDefaultProfileFile(const std::filesystem::path& path) {
    std::vector<uint8_t> bytes(kProfileRecordSize);
    SerialiseProfileRecord(DefaultProfileRecord(), std::span(bytes).first<kProfileRecordSize>());
    return ReplaceFileContents(path, bytes);
}

} // namespace tavrik
