#include "profile/profile_transfer.h"

#include "profile/keyboard_reload.h"
#include "profile/profile_file.h"
#include "profile/profile_messages.h"

namespace tavrik {

ImportOutcome ImportProfile(ProfileStore& store, const std::filesystem::path& path) {
    ProfileWindow& window = store.Window();
    const auto showMessage = [&window](std::u16string_view message) {
        window.ShowMessage(message);
    };
    std::unique_ptr<ProfileContents> contents;
    if (ValidateProfileFile(path, showMessage) == ProfileFileCheck::Acceptable)
        contents = ReadProfileContents(path);
    if (!contents) {
        window.ShowMessage(profile_text::kImportFailed);
        return ImportOutcome::Refused;
    }
    return ImportProfileContents(store, std::move(*contents));
}

ImportOutcome ImportProfileContents(ProfileStore& store, ProfileContents&& contents) {
    ProfileWindow& window = store.Window();
    // Judged whole before anything is touched: a profile whose macros the keyboard cannot hold
    // would leave the store file holding what never reaches the keyboard.
    if (!store.KeyboardCanHold(contents.macros)) {
        window.ShowMessage(profile_text::kImportFailed);
        return ImportOutcome::Refused;
    }
    LiveProfile& profile = store.Profile();
    bool applied = false;
    {
        const LiveProfile::Lock lock = profile.LockProfile();
        profile.Install(std::move(contents));
        store.SaveProfileToStore();
        applied = store.ApplyProfileToKeyboard(true);
        window.RefreshKeyDescriptions();
    }
    window.EnableApply(false);
    return applied ? ImportOutcome::Downloaded : ImportOutcome::Imported;
}

bool ExportProfile(ProfileStore& store, const std::filesystem::path& path) {
    LiveProfile& profile = store.Profile();
    const LiveProfile::Lock lock = profile.LockProfile();
    return SaveProfileFile(profile, path);
}

} // namespace tavrik
