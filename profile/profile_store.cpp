#include "profile/profile_store.h"

#include "files/file_replace.h"
#include "profile/keyboard_reload.h"
#include "profile/profile_file.h"
#include "profile/profile_menu.h"

#include <memory>
#include <new>
#include <system_error>

namespace tavrik {

ProfileStore::ProfileStore(LiveProfile& profile, StoragePaths paths, ProfileKeyboard& keyboard,
                           ProfileWindow& window)
    : profile_(profile)
    , paths_(std::move(paths))
    , keyboard_(keyboard)
    , window_(window) {}

bool ProfileStore::SaveProfileToStore(std::string* writeError) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(paths_.storeFile, error))
        return false;
    return SaveProfileFile(profile_, paths_.storeFile, writeError);
}

bool ProfileStore::ReadKeyboardToProfileFile(const std::filesystem::path& path,
                                             std::string* writeError) {
    const int active = keyboard_.GetActiveProfileIndex();
    if (active < 0 || active > static_cast<int>(kLayerCount) - 1)
        return false;
    try {
        const std::optional<KeyboardContents> read = keyboard_.ReadContents();
        if (!read)
            return false;
        // What only the computer knows comes from the store file's last copy.
        const std::unique_ptr<ProfileContents> previous = ReadProfileContents(paths_.storeFile);
        const auto contents = ProfileFromKeyboard(*read, keyboard_.DefaultLayout(), previous.get());
        const auto bytes =
            SerialiseProfileFile(contents->record, contents->macros, contents->texts);
        return bytes && ReplaceFile(path, *bytes, writeError);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool ProfileStore::DownloadPending() const {
    std::error_code error;
    return std::filesystem::exists(paths_.pendingMark, error);
}

bool ProfileStore::MarkDownloadPending() {
    std::error_code error;
    if (!std::filesystem::is_regular_file(paths_.storeFile, error))
        return false;
    static constexpr uint8_t kMark[] = {'1', '\n'};
    return ReplaceFile(paths_.pendingMark, kMark, nullptr);
}

void ProfileStore::ClearDownloadPending() {
    std::error_code ignored;
    std::filesystem::remove(paths_.pendingMark, ignored);
}

bool ProfileStore::ApplyProfileToKeyboard(bool allProfiles) {
    // What an interrupted download left in the keyboard is not known: send everything.
    allProfiles = allProfiles || DownloadPending();
    const LiveProfile::Lock profileLock = profile_.LockProfile();
    const LiveProfile::Lock snapshotLock = profile_.LockSnapshot();
    AppliedSnapshot& snapshot = profile_.Snapshot();
    try {
        snapshot.record = profile_.Record();
        snapshot.macros = profile_.Macros();
    } catch (const std::bad_alloc&) {
        snapshot.macros.clear();
        return false;
    }
    MarkDownloadPending();
    DownloadResult downloaded;
    try {
        downloaded = keyboard_.Download(
            {snapshot.record.layers, snapshot.macros}, allProfiles,
            [this](std::u16string_view message) { window_.ShowMessage(message); });
    } catch (const std::bad_alloc&) {
        downloaded = {};
    }
    // A frame that failed before the last key map leaves part of the profile unwritten, even
    // when the outcome reported is a success.
    if (downloaded.everyFrameWritten)
        ClearDownloadPending();
    return downloaded.lastKeyMapWritten;
}

bool ProfileStore::LoadPendingProfile() {
    const LiveProfile::Lock lock = profile_.LockProfile();
    profile_.ReleaseAll();
    if (!LoadProfileFile(profile_, paths_.storeFile)) {
        profile_.CreateDefaultProfile();
        return false;
    }
    window_.RefreshKeyDescriptions();
    return true;
}

bool ProfileStore::ReloadProfileFromKeyboard(bool keepModified) {
    EnsureStorageFolder(paths_);
    if (DownloadPending()) {
        keyboard_.GetActiveProfileIndex();
        if (LoadPendingProfile()) {
            window_.EnableApply(true);
            return true;
        }
        // No profile to finish with: the keyboard is mirrored as usual.
        ClearDownloadPending();
    }
    const bool mirrored =
        keyboard_.GetActiveProfileIndex() >= 0 && ReadKeyboardToProfileFile(paths_.storeFile);
    // Whatever failed above, a record is installed below; installing a default one needs no
    // memory.
    {
        const LiveProfile::Lock lock = profile_.LockProfile();
        profile_.ReleaseAll();
        if (!mirrored || !LoadProfileFile(profile_, paths_.storeFile))
            profile_.CreateDefaultProfile();
        window_.RefreshKeyDescriptions();
    }
    if (!keepModified)
        window_.EnableApply(false);
    return true;
}

void ProfileStore::BuildProfileMenu() {
    const ProfileMenu menu = tavrik::BuildProfileMenu(keyboard_.GetActiveProfileIndex(), paths_);
    window_.ShowProfileCaption(menu.caption, menu.tooltip);
}

} // namespace tavrik
