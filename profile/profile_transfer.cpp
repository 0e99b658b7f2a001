#include "profile/profile_transfer.h"

#include "profile/profile_file.h"
#include "profile/profile_messages.h"

namespace tavrik {

namespace {

// Installs the imported profile under the profile lock (`install` false: refused, the live
// profile as it was), saves it into the store file and downloads it into all three hardware
// profiles.
template <typename Install>
ImportOutcome InstallAndDownload(ProfileStore& store, Install&& install) {
    ProfileWindow& window = store.Window();
    LiveProfile& profile = store.Profile();
    bool applied = false;
    {
        const LiveProfile::Lock lock = profile.LockProfile();
        if (!install(profile)) {
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

} // namespace

ImportOutcome ImportProfile(ProfileStore& store, const std::filesystem::path& path) {
    ProfileWindow& window = store.Window();
    const auto showMessage = [&window](std::u16string_view message) {
        window.ShowMessage(message);
    };
    if (ValidateProfileFile(path, showMessage) != ProfileFileCheck::Acceptable) {
        window.ShowMessage(profile_text::kImportFailed);
        return ImportOutcome::Refused;
    }
    return InstallAndDownload(
        store, [&path](LiveProfile& profile) { return LoadProfileFile(profile, path); });
}

ImportOutcome ImportProfileContents(ProfileStore& store, ProfileContents&& contents) {
    return InstallAndDownload(store, [&contents](LiveProfile& profile) {
        profile.Install(std::move(contents));
        return true;
    });
}

bool ExportProfile(ProfileStore& store, const std::filesystem::path& path) {
    LiveProfile& profile = store.Profile();
    const LiveProfile::Lock lock = profile.LockProfile();
    return SaveProfileFile(profile, path);
}

} // namespace tavrik
