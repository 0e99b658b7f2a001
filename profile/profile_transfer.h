#pragma once
// Backing the whole configuration up to a profile file ("备份") and restoring it ("还原").

#include "profile/profile_store.h"

#include <filesystem>

namespace tavrik {

// The file dialogs' settings for profile files.
inline constexpr char16_t kProfileFileExtension[] = u"tvk";
inline constexpr char16_t kProfileFileFilter[] = u"(*.tvk) (*.tvk);;(*.*) (*)";

enum class ImportOutcome {
    Refused,    // not an acceptable profile file; nothing changed
    Imported,   // now the live profile, but the download failed
    Downloaded, // now the live profile and in the keyboard
};

// Checks the file; a file that is not acceptable is refused with "文件格式错误，导入失败! " (after
// the format message for a malformed header) and the live profile stays as it was. So is a file
// whose macros the keyboard's macro memory cannot hold (after the message saying so): nothing is
// written anywhere. Otherwise the file becomes the live profile, is saved into the store file
// (when it exists) and downloaded into all three hardware profiles; the window is then no longer
// modified.
ImportOutcome ImportProfile(ProfileStore& store, const std::filesystem::path& path);

// As ImportProfile, from contents already read and checked (a profile written as text): they
// become the live profile, are saved into the store file and downloaded into all three hardware
// profiles.
ImportOutcome ImportProfileContents(ProfileStore& store, ProfileContents&& contents);

// Saves the live profile to the file; no message either way.
bool ExportProfile(ProfileStore& store, const std::filesystem::path& path);

} // namespace tavrik
