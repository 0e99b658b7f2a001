#pragma once
// The live profile in step with the keyboard: the store file "$Profile0" mirrors every layer of
// the keyboard, the live profile is rebuilt from it whenever a keyboard is attached, and the
// applied snapshot is what was last downloaded. Runs on the user-interface thread.

#include "profile/live_profile.h"
#include "profile/profile_keyboard.h"
#include "profile/profile_window.h"
#include "profile/storage_paths.h"

#include <atomic>
#include <filesystem>
#include <string>

namespace tavrik {

class ProfileStore {
public:
    ProfileStore(LiveProfile& profile, StoragePaths paths, ProfileKeyboard& keyboard,
                 ProfileWindow& window);

    LiveProfile& Profile() { return profile_; }
    const StoragePaths& Paths() const { return paths_; }
    ProfileKeyboard& Keyboard() { return keyboard_; }
    ProfileWindow& Window() { return window_; }

    // Saves the live profile into the store file, but only when that file exists: it is only
    // ever created from the keyboard. A failed write gives its reason in `writeError` (if given).
    bool SaveProfileToStore(std::string* writeError = nullptr);

    // Reads the keyboard's three key maps and its macros into a complete profile file at path,
    // keeping from the store file what only the computer knows (see keyboard_reload.h); the live
    // profile is not touched. False when the active hardware profile is not 0..3, a read fails or
    // the file cannot be written (the reason in `writeError`, if given).
    bool ReadKeyboardToProfileFile(const std::filesystem::path& path,
                                   std::string* writeError = nullptr);

    // Whether the keyboard's macro memory can hold these macros (without their names, which are
    // left out when there is no room for them). When it cannot, the user is told; when its size
    // cannot be learnt from the keyboard, the failed read says why. False either way.
    bool KeyboardCanHold(std::span<const MacroRecord> macros);

    // Copies record and macros into the applied snapshot and downloads it: all three hardware
    // profiles, or only the active one. Macros the keyboard cannot hold are refused first, with
    // nothing written (no frame, no mark). Texts stay on the computer. While the download runs, the
    // store file (when there is one) is marked as not yet in the keyboard; the mark goes when
    // every frame of the download was written. A download that finishes an interrupted one sends
    // all three profiles. True when the last key map write succeeded.
    bool ApplyProfileToKeyboard(bool allProfiles);

    // True while the store file holds a profile whose download was cut off: the keyboard may
    // hold part of it, and the store file is what the user meant it to hold.
    bool DownloadPending() const;

    // Mirrors the keyboard into the store file and loads the live profile from it; when the
    // keyboard cannot be read, the live profile becomes a default record without macros or
    // texts. The key buttons are redrawn; unless keepModified the window is no longer modified.
    // While a download is pending the keyboard is not mirrored: the live profile is loaded from
    // the store file and the window stays modified, so that the next Apply finishes the download.
    bool ReloadProfileFromKeyboard(bool keepModified);

    // Whether the last reload mirrored the keyboard into the store file and loaded the live
    // profile from it (not a default profile after a failure, nor a pending download's).
    bool LiveProfileReadFromKeyboard() const { return readFromKeyboard_; }

    // Rebuilds the profile menu and puts its caption and tooltip on the profile button.
    void BuildProfileMenu();

private:
    bool LoadPendingProfile();
    bool MarkDownloadPending();
    void ClearDownloadPending();

    LiveProfile& profile_;
    StoragePaths paths_;
    ProfileKeyboard& keyboard_;
    ProfileWindow& window_;
    std::atomic<bool> readFromKeyboard_{false};
};

} // namespace tavrik
