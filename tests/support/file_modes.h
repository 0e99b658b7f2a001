#pragma once
// File modes in tests: a umask for the length of a scope (the umask is the process's, and the
// programs a test starts inherit it), and modes written in octal as people read them.

#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>

namespace tavrik::test {

// The umask `mask` until the end of the scope, then the previous one again.
class ScopedUmask {
public:
    explicit ScopedUmask(mode_t mask)
        : previous_(::umask(mask)) {}
    ~ScopedUmask() { ::umask(previous_); }
    ScopedUmask(const ScopedUmask&) = delete;
    ScopedUmask& operator=(const ScopedUmask&) = delete;

private:
    mode_t previous_;
};

// A mode as people write it ("0600"), so that a failed comparison reads at a glance.
inline std::string Octal(mode_t mode) {
    char text[8];
    std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
    return text;
}

// The permission bits of what `path` names (a link's target) in octal, "missing" when it is not
// there.
inline std::string ModeOf(const std::filesystem::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return "missing";
    return Octal(info.st_mode);
}

} // namespace tavrik::test
