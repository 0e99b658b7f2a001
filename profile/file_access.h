#pragma once
// Reading and replacing whole files. Files are opened for reading only when they are read, so
// that a profile on read-only media or one shared by another user can still be imported; a
// file is replaced through a temporary file in the same folder that is renamed over it, so a
// failed save never leaves a truncated file behind in place of a good one.

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace tavrik {

enum class FileOpenStatus {
    Opened,
    Missing,    // no file of that name
    CannotOpen, // present but not readable, or not a regular file
};

// An open, regular file; reads never block on a pipe or device.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const std::filesystem::path& path);
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    FileOpenStatus Status() const { return status_; }
    uint64_t Size() const { return size_; }

    // Reads the first min(limit, Size()) bytes into out; false when reading fails or the file
    // turned out shorter than it was. Throws std::bad_alloc when the bytes do not fit in memory.
    bool ReadPrefix(uint64_t limit, std::vector<uint8_t>& out) const;

private:
    int fd_ = -1;
    FileOpenStatus status_ = FileOpenStatus::CannotOpen;
    uint64_t size_ = 0;
};

// Writes the bytes as the file's new contents, all or nothing.
bool ReplaceFileContents(const std::filesystem::path& path, std::span<const uint8_t> bytes);

} // namespace tavrik
