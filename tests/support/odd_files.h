#pragma once
// Names in a test's folder that are no file a reader may take, made for real: a folder, a pipe
// nobody writes to, a link to /dev/zero, a sparse file larger than any format allows, a file
// nobody may read, a name inside a plain file. A reader of outside files must refuse each at once
// with its reason, never wait on the pipe or read the device without end.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace tavrik::test {

struct OddFile {
    const char* what;
    std::filesystem::path path;
    const char* reason; // part of the refusal
};

// Makes them in `folder`; the sparse file has `sparseSize` bytes. Root reads a file of mode 000,
// so that case is left out when the tests run as root: the name inside a plain file still shows
// the system's own words for a failure.
inline std::vector<OddFile> MakeOddFiles(const std::filesystem::path& folder,
                                         uintmax_t sparseSize) {
    std::filesystem::create_directory(folder / "folder");
    ::mkfifo((folder / "pipe").c_str(), 0600);
    std::filesystem::create_symlink("/dev/zero", folder / "zero");
    std::ofstream(folder / "sparse").put('x');
    std::filesystem::resize_file(folder / "sparse", sparseSize);
    std::ofstream(folder / "plain") << "plain";
    std::vector<OddFile> files{
        {"a folder", folder / "folder", "not a regular file"},
        {"a pipe", folder / "pipe", "not a regular file"},
        {"a link to /dev/zero", folder / "zero", "not a regular file"},
        {"a sparse file", folder / "sparse", "too large for "},
        {"a name inside a plain file", folder / "plain" / "inside", "Not a directory"},
    };
    if (::geteuid() != 0) {
        std::ofstream(folder / "locked") << "locked";
        ::chmod((folder / "locked").c_str(), 0);
        files.push_back({"an unreadable file", folder / "locked", "Permission denied"});
    }
    return files;
}

} // namespace tavrik::test
