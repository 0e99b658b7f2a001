#include "profile/profile_store.h"

#include "files/file_read.h"
#include "files/file_replace.h"
#include "macro/macro_image.h"
#include "macro/macro_texts.h"
#include "profile/keyboard_reload.h"
#include "profile/profile_file.h"
#include "profile/profile_menu.h"

#include <algorithm>
#include <memory>
#include <new>
#include <system_error>

namespace tavrik {

namespace {

// Whether the file holds exactly these bytes already: the store file is mirrored at every
// arrival and every command, and is replaced only when the mirror changed.
bool HoldsBytes(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
    const FileRead held = ReadWholeFile(path, kProfileFileKind);
    return held.status == FileReadStatus::Read && std::ranges::equal(held.bytes, bytes);
}

} // namespace

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
        return bytes && (HoldsBytes(path, *bytes) || ReplaceFile(path, *bytes, writeError));
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

bool ProfileStore::KeyboardCanHold(std::span<const MacroRecord> macros) {
    const std::optional<size_t> capacity = keyboard_.MacroCapacity();
    if (!capacity)
        return false;
    if (MacroImageSizes(macros).withoutNames <= *capacity)
        return true;
    window_.ShowMessage(macro_text::kMacroMemoryTooSmall);
    return false;
}

bool ProfileStore::ApplyProfileToKeyboard(bool allProfiles) {
    const LiveProfile::Lock profileLock = profile_.LockProfile();
    if (!KeyboardCanHold(profile_.Macros()))
        return false;
    // What an interrupted download left in the keyboard is not known: send everything.
    allProfiles = allProfiles || DownloadPending();
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
    readFromKeyboard_ = false;
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
        readFromKeyboard_ = mirrored && LoadProfileFile(profile_, paths_.storeFile);
        if (!readFromKeyboard_)
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
