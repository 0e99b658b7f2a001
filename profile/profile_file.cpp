#include "profile/profile_file.h"

#include "files/file_replace.h"
#include "profile/native_path.h"
#include "profile/profile_messages.h"

#include <new>

namespace tavrik {

namespace {

ProfileFileCheck CheckOfUnread(const FileRead& read) {
    switch (read.status) {
    case FileReadStatus::Missing:
    case FileReadStatus::TooLarge:
        return ProfileFileCheck::Rejected;
    default:
        return ProfileFileCheck::CannotOpen;
    }
}

} // namespace

ProfileFileCheck ValidateProfileFile(const std::filesystem::path& path,
                                     const MessageCallback& showMessage, std::string* problem) {
    FileRead read;
    try {
        read = ReadWholeFile(path, kProfileFileKind);
    } catch (const std::bad_alloc&) {
        return ProfileFileCheck::NoMemory;
    }
    if (read.status != FileReadStatus::Read) {
        if (problem)
            *problem = FileReadProblem(read, path, kProfileFileKind);
        return CheckOfUnread(read);
    }
    if (read.bytes.size() < kProfileRecordSize)
        return ProfileFileCheck::Rejected;
    if (IsAcceptableProfileHeader(std::span(read.bytes).first<kProfileHeaderSize>()))
        return ProfileFileCheck::Acceptable;
    if (showMessage) {
        std::u16string message(profile_text::kFormatErrorRestoringDefaults);
        message += PathText(path);
        showMessage(message);
    }
    return ProfileFileCheck::Rejected;
}

bool LoadProfileFile(LiveProfile& profile, const std::filesystem::path& path) {
    try {
        const FileRead read = ReadWholeFile(path, kProfileFileKind);
        auto contents =
            read.status == FileReadStatus::Read ? ParseProfileFile(read.bytes) : nullptr;
        if (!contents)
            return false;
        const LiveProfile::Lock lock = profile.LockProfile();
        profile.Install(std::move(*contents));
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool SaveProfileFile(LiveProfile& profile, const std::filesystem::path& path, std::string* error) {
    try {
        const LiveProfile::Lock lock = profile.LockProfile();
        const auto bytes =
            SerialiseProfileFile(profile.Record(), profile.Macros(), profile.Texts());
        return bytes && ReplaceFile(path, *bytes, error);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool CreateDefaultProfileFile(const std::filesystem::path& path) {
    std::vector<uint8_t> bytes(kProfileRecordSize);
    SerialiseProfileRecord(DefaultProfileRecord(), std::span(bytes).first<kProfileRecordSize>());
    return ReplaceFile(path, bytes, nullptr);
}

} // namespace tavrik
