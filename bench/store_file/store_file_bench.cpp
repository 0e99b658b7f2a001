// How large the store file "$Profile0" gets with the most macros a profile may hold (100): the
// file as the program saves it, the bytes in it that are not zero, the disk space it takes, and
// the space the same bytes take when the blocks that hold only zeros are left as holes. A profile
// file lays every macro out as a 16,512-byte record whatever its length, and its header's total
// length must equal that layout, so the file's length cannot shrink without changing the format;
// its zeros need not take disk space.
//   store_file_bench [FOLDER]   (the folder the files are written in; a private temporary one)

#include "bench/support/full_profile.h"
#include "profile/profile_file.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tavrik::bench {
namespace {

// Holes are made in units of the file system's block; 4 KiB on the usual Linux file systems.
constexpr size_t kHoleUnit = 4096;

struct Case {
    const char* name;
    size_t actionsPerMacro;
};

struct FileSpace {
    uintmax_t length = 0;
    uintmax_t allocated = 0; // bytes of disk blocks
};

std::optional<FileSpace> SpaceOf(const std::filesystem::path& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return std::nullopt;
    return FileSpace{static_cast<uintmax_t>(status.st_size),
                     static_cast<uintmax_t>(status.st_blocks) * 512u};
}

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The same bytes with every all-zero unit left as a hole; false when it cannot be written.
bool WriteWithHoles(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    bool written = true;
    for (size_t offset = 0; written && offset < bytes.size(); offset += kHoleUnit) {
        const std::span<const uint8_t> unit =
            bytes.subspan(offset, std::min(kHoleUnit, bytes.size() - offset));
        if (std::ranges::all_of(unit, [](uint8_t byte) { return byte == 0; }))
            continue;
        written = ::pwrite(fd, unit.data(), unit.size(), static_cast<off_t>(offset)) ==
                  static_cast<ssize_t>(unit.size());
    }
    written = written && ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0;
    return ::close(fd) == 0 && written;
}

void FillWithMacros(LiveProfile& profile, size_t actionsPerMacro) {
    std::vector<MacroRecord>& macros = profile.Macros();
    for (size_t number = 1; number <= kMaxMacros; ++number) {
        MacroRecord macro;
        macro.id = static_cast<uint16_t>(number);
        macro.name = DefaultMacroName(static_cast<unsigned>(number));
        for (size_t action = 0; action < actionsPerMacro; ++action)
            macro.actions.push_back(
                {.delayMs = 30,
                 .key = static_cast<ScanCode>(0x10 + action / 2 % 20),
                 .direction = action % 2 ? KeyDirection::Release : KeyDirection::Press});
        macros.push_back(std::move(macro));
    }
    AssignEveryKey(profile.Record().layers, macros.size());
}

double KiB(uintmax_t bytes) {
    return static_cast<double>(bytes) / 1024.0;
}

bool Measure(const Case& c, const std::filesystem::path& folder) {
    LiveProfile profile;
    FillWithMacros(profile, c.actionsPerMacro);
    const std::filesystem::path saved = folder / "$Profile0";
    const std::filesystem::path holes = folder / "with-holes.tvk";
    std::string error;
    if (!SaveProfileFile(profile, saved, &error)) {
        std::fprintf(stderr, "store_file_bench: %s\n", error.c_str());
        return false;
    }
    const std::vector<uint8_t> bytes = ReadBytes(saved);
    if (!WriteWithHoles(holes, bytes) || ReadBytes(holes) != bytes) {
        std::fprintf(stderr, "store_file_bench: the copy with holes could not be written\n");
        return false;
    }
    const std::optional<FileSpace> savedSpace = SpaceOf(saved);
    const std::optional<FileSpace> holesSpace = SpaceOf(holes);
    if (!savedSpace || !holesSpace)
        return false;
    const auto nonZero = static_cast<uintmax_t>(
        std::ranges::count_if(bytes, [](uint8_t byte) { return byte != 0; }));
    std::printf("%-36s file %9ju bytes (%.1f KiB), not zero %7ju bytes (%.3f of the file)\n",
                c.name, savedSpace->length, KiB(savedSpace->length), nonZero,
                static_cast<double>(nonZero) / static_cast<double>(savedSpace->length));
    std::printf("%-36s on disk %.1f KiB as saved, %.1f KiB with its zero blocks as holes "
                "(ratio %.3f)\n",
                "", KiB(savedSpace->allocated), KiB(holesSpace->allocated),
                savedSpace->allocated == 0 ? 0.0
                                           : static_cast<double>(holesSpace->allocated) /
                                                 static_cast<double>(savedSpace->allocated));
    std::filesystem::remove(holes);
    std::filesystem::remove(saved);
    return true;
}

} // namespace
} // namespace tavrik::bench

int main(int argc, char** argv) {
    using namespace tavrik::bench;
    std::filesystem::path folder;
    std::string made;
    if (argc > 1) {
        folder = argv[1];
    } else {
        std::string pattern = (std::filesystem::temp_directory_path() / "store-file-XXXXXX");
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("store_file_bench: mkdtemp");
            return 1;
        }
        folder = made = pattern;
    }
    std::printf("store_file_bench: the store file with %zu macros, written in %s\n",
                tavrik::kMaxMacros, folder.c_str());
    const Case cases[] = {
        {"100 macros of 20 keystrokes", 40},
        {"100 macros of 2000 actions (most)", tavrik::kMaxMacroActions},
    };
    bool measured = true;
    for (const Case& c : cases)
        measured = Measure(c, folder) && measured;
    if (!made.empty())
        std::filesystem::remove_all(made);
    return measured ? 0 : 1;
}
