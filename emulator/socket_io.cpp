#include "emulator/socket_io.h"

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace tavrik::emu {

namespace {

sockaddr_un AddressOf(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return address;
}

} // namespace

bool FitsSocketAddress(const std::string& path) {
    return !path.empty() && path.size() < sizeof(sockaddr_un{}.sun_path);
}

int ConnectUnixSocket(const std::string& path, std::string* error) {
    if (!FitsSocketAddress(path)) {
        *error = "socket path is empty or too long: " + path;
        return -1;
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        *error = std::string("cannot create a socket: ") + std::strerror(errno);
        return -1;
    }
    const sockaddr_un address = AddressOf(path);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        *error = "cannot connect to " + path + ": " + std::strerror(errno);
        ::close(fd);
        return -1;
    }
    return fd;
}

bool SendAll(int fd, std::span<const uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            return false;
        bytes = bytes.subspan(static_cast<size_t>(sent));
    }
    return true;
}

std::optional<wire::Message> ReceiveMessage(int fd, wire::MessageReader& reader) {
    uint8_t buffer[4096];
    while (true) {
        if (auto message = reader.Next())
            return message;
        if (reader.Broken())
            return std::nullopt;
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return std::nullopt;
        reader.Append({buffer, static_cast<size_t>(got)});
    }
}

} // namespace tavrik::emu
