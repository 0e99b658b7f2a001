#pragma once
// Reading a whole file that comes from outside the program (a profile file, the emulated
// keyboard's state, a macro's actions) without trusting it. Only a regular file is read, once
// links are followed, so a folder, a pipe or a device node never blocks or floods the reader; the
// file's size is judged before a byte is read; and no more than the largest size its format allows,
// plus one byte to see that it is larger, is ever read, so a file that grows meanwhile cannot
// exhaust memory either.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tavrik {

// What the file is meant to be, in words for messages ("a profile file"), and the largest size a
// valid one has.
struct FileKind {
    std::string_view name;
    uint64_t largestSize = 0;
};

enum class FileReadStatus {
    Read,
    Missing,    // no file of that name
    NotRegular, // a folder, a pipe, a device, a socket
    TooLarge,   // larger than the kind's largest size; nothing was read
    Failed,     // the system refused to open or read it
};

struct FileRead {
    FileReadStatus status = FileReadStatus::Failed;
    std::vector<uint8_t> bytes; // the whole file when Read
    uint64_t size = 0;          // the size found when TooLarge
    int error = 0;              // the system's error number when Missing or Failed
};

// Throws std::bad_alloc when even the bounded contents do not fit in memory.
FileRead ReadWholeFile(const std::filesystem::path& path, const FileKind& kind);

// One line saying why the file was not read: "FILE: not a regular file", "FILE: too large for a
// profile file (N bytes, at most M)", "cannot read FILE: Permission denied". Empty when it was.
std::string FileReadProblem(const FileRead& read, const std::filesystem::path& path,
                            const FileKind& kind);

} // namespace tavrik
