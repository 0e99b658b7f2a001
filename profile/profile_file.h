#pragma once
// Profile files on disk: checking one before it is imported, loading one into the live profile,
// saving the live profile, and writing a default file for the profile manager.

#include "macro/macro_download.h"
#include "profile/live_profile.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace tavrik {

enum class ProfileFileCheck : int {
    Acceptable = 1,
    Rejected = 0,    // missing, shorter than a record, larger than any profile file (see
                     // kLargestProfileFile), or a malformed header
    CannotOpen = -2, // present but cannot be read, or not a regular file
    NoMemory = -3,   // the file does not fit in memory
};

// Judges the file's type and size before reading it, then examines the header only; the file's
// real length is not compared with the length the header announces. A malformed header is the
// one case that shows a message ("文件格式错误，恢复为默认值:" and the path). When the file could
// not be read, `problem` (if given) receives the reason as one line (see FileReadProblem).
ProfileFileCheck ValidateProfileFile(const std::filesystem::path& path,
                                     const MessageCallback& showMessage,
                                     std::string* problem = nullptr);

// Replaces record, macros and texts of the live profile from the file, bounded by the bytes the
// file holds; takes the profile lock itself. The header is not validated here. False when the
// file is missing, unreadable, not a regular file, shorter than a record, larger than any profile
// file or too large for memory; the live profile then keeps what it had (after a release: a
// default record without macros or texts).
bool LoadProfileFile(LiveProfile& profile, const std::filesystem::path& path);

// Writes the live profile (record, macros, packed texts) to the file, replacing it atomically;
// takes the profile lock itself. Saving rebuilds the record's header and the text offsets. When
// writing fails, `error` (if given) receives the reason with the system's words.
bool SaveProfileFile(LiveProfile& profile, const std::filesystem::path& path,
                     std::string* error = nullptr);

// Writes a default profile file (the 32,832-byte default record) at path.
bool CreateDefaultProfileFile(const std::filesystem::path& path);

} // namespace tavrik
