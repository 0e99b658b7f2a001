#include "profile/profile_transfer.h"

#include "profile/profile_file.h"
#include "profile/profile_messages.h"

namespace tavrik {

ImportOutcome ImportProfile(ProfileStore& store, const std::filesystem::path& path) {
    ProfileWindow& window = store.Window();
    const auto showMessage = [&window](std::u16string_view message) {
        window.ShowMessage(message);
    };
    if (ValidateProfileFile(path, showMessage) != ProfileFileCheck::Acceptable) {
        window.ShowMessage(profile_text::kImportFailed);
        return ImportOutcome::Refused;
    }
    LiveProfile& profile = store.Profile();
    bool applied = false;
    {
        const LiveProfile::Lock lock = profile.LockProfile();
        if (!LoadProfileFile(profile, path)) {
            window.ShowMessage(profile_text::kImportFailed);
            return ImportOutcome::Refused;
        }
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
