#pragma once
// The user's data is the user's alone: the profiles, the store file that mirrors the keyboard,
// the settings and the emulated keyboard's state can hold what the user typed into a macro
// (a password, as often as not). Every file the programs write with it is 0600 and every folder
// they make for it 0700, whatever the umask; a folder that was there before (the user's
// Documents, a folder chosen for a backup) is the user's and keeps its mode.

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>

namespace tavrik {

inline constexpr mode_t kPrivateFileMode = 0600;
inline constexpr mode_t kPrivateFolderMode = 0700;

// The mode of a file written with the user's data: 0600 for a new one. A file that is replaced
// loses what others may do with it and keeps the owner's bits that are stricter than 0600 (a
// file the user made read-only stays read-only): a save never opens a file up wider than it was,
// nor wider than private.
mode_t PrivateFileMode(std::optional<mode_t> replaced);

// Makes `folder` with mode 0700 when it is missing; missing folders above it are made as
// `mkdir -p` makes them (0777 less the umask), since they are general folders of the home
// (Documents, ~/.config) that the user will fill with other things. A folder that exists is left
// exactly as it is, even when another program made it a moment ago. True when `folder` is a
// folder afterwards; otherwise false and the reason in words.
bool EnsurePrivateFolder(const std::filesystem::path& folder, std::string* error);

// For a file that another writer replaces by its own means and whose permissions that writer
// keeps (QSettings through QSaveFile): makes its folder as EnsurePrivateFolder does, creates the
// file empty with mode 0600 when it is missing and narrows an existing one as PrivateFileMode
// says, so the writer never puts the user's data into a file others can read. A name that is a
// link applies to the file it points to. False and the reason in words when that fails.
bool PreparePrivateFile(const std::filesystem::path& path, std::string* error);

} // namespace tavrik
