#pragma once
// An open file descriptor that closes itself, and the system's own words for an error number.

#include <filesystem>
#include <string>

namespace tavrik {

class SystemFile {
public:
    explicit SystemFile(int fd)
        : fd_(fd) {}
    ~SystemFile();
    SystemFile(const SystemFile&) = delete;
    SystemFile& operator=(const SystemFile&) = delete;

    int Fd() const { return fd_; }
    bool IsOpen() const { return fd_ >= 0; }
    // Closes now; false (errno set) when closing reports an error, as a full disk may at close.
    bool Close();

private:
    int fd_;
};

// strerror's text for the error number, safe to call from any thread.
std::string SystemErrorText(int error);

// Says in `error` (when given) "WHAT PATH: the system's words for NUMBER"; always false, so a
// failing step can end with `return FailWith(...)`.
bool FailWith(std::string* error, const std::string& what, const std::filesystem::path& path,
              int number);

} // namespace tavrik
