#include "files/system_file.h"

#include <cstring>
#include <unistd.h>

namespace tavrik {

SystemFile::~SystemFile() {
    Close();
}

bool SystemFile::Close() {
    if (fd_ < 0)
        return true;
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
}

std::string SystemErrorText(int error) {
    char buffer[256];
    // GNU strerror_r: the text may be a static string instead of the buffer.
    return ::strerror_r(error, buffer, sizeof buffer);
}

bool FailWith(std::string* error, const std::string& what, const std::filesystem::path& path,
              int number) {
    if (error)
        *error = what + " " + path.string() + ": " + SystemErrorText(number);
    return false;
}

} // namespace tavrik
