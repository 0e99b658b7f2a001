#pragma once
// Replacing a file's contents all or nothing. The bytes go to a new file beside it, are flushed
// to the disk and the new file is renamed over the old name, so a reader sees the old contents or
// the new ones, never a part, and a failed save (a full disk, a folder that cannot be written)
// leaves the old file as it was. The name is used byte for byte as the system gives it; a name
// that is a link replaces the file the link points to. Every file written this way holds the
// user's data and is private whatever the umask (files/private_files.h): a new file is 0600, a
// replaced one keeps no more than the owner's read and write bits it had.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace tavrik {

// False and the reason in words ("cannot write FILE: No space left on device") on failure.
bool ReplaceFile(const std::filesystem::path& path, std::span<const uint8_t> bytes,
                 std::string* error);

} // namespace tavrik
