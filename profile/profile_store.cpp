#include "profile/profile_store.h"

#include "assign/key_map_conversion.h"
#include "macro/macro_image.h"
#include "profile/file_access.h"
#include "profile/profile_file.h"
#include "profile/profile_menu.h"

#include <memory>
#include <new>
#include <system_error>

namespace tavrik {

namespace {

std::unique_ptr<ProfileContents> ContentsFromKeyboard(const KeyboardContents& keyboard,
                                                      const KeyMapBlock& defaultLayout) {
    auto contents = std::make_unique<ProfileContents>();
    for (size_t layer = 0; layer < kHardwareProfileCount; ++layer)
        contents->record.layers[layer] = KeyMapBlockToLayer(keyboard.keyMaps[layer], defaultLayout);
    contents->record.layers[kLayerCount - 1] = {};
    contents->macros = MacroImageToRecords(keyboard.macroImage);
    return contents;
}

} // namespace

ProfileStore::ProfileStore(LiveProfile& profile, StoragePaths paths, ProfileKeyboard& keyboard,
                           ProfileWindow& window)
    : profile_(profile)
    , paths_(std::move(paths))
    , keyboard_(keyboard)
    , window_(window) {}

bool ProfileStore::SaveProfileToStore() {
    std::error_code error;
    if (!std::filesystem::is_regular_file(paths_.storeFile, error))
        return false;
    return SaveProfileFile(profile_, paths_.storeFile);
}

bool ProfileStore::ReadKeyboardToProfileFile(const std::filesystem::path& path) {
    const int active = keyboard_.GetActiveProfileIndex();
    if (active < 0 || active > static_cast<int>(kLayerCount) - 1)
        return false;
    try {
        const std::optional<KeyboardContents> read = keyboard_.ReadContents();
        if (!read)
            return false;
        const auto contents = ContentsFromKeyboard(*read, keyboard_.DefaultLayout());
        const auto bytes =
            SerialiseProfileFile(contents->record, contents->macros, contents->texts);
        return bytes && ReplaceFileContents(path, *bytes);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool ProfileStore::ApplyProfileToKeyboard(bool allProfiles) {
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
    try {
        return keyboard_.Download(
            {snapshot.record.layers, snapshot.macros}, allProfiles,
            [this](std::u16string_view message) { window_.ShowMessage(message); });
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool ProfileStore::ReloadProfileFromKeyboard(bool keepModified) {
    EnsureStorageFolder(paths_);
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
