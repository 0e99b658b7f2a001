#include "emulator/emulator_server.h"

#include "device/turn_place.h"
#include "emulator/socket_io.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace tavrik::emu {

namespace {

// A client that stops reading cannot hold the keyboard's delivery thread for longer than this.
constexpr timeval kSendTimeout{2, 0};

bool Fail(std::string* error, const std::string& why) {
    *error = why;
    return false;
}

std::string Errno() {
    return std::strerror(errno);
}

// Refuses a path where another server answers or that is not a socket; removes a stale socket.
bool ClearStalePath(const std::string& path, std::string* error) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0)
        return errno == ENOENT || Fail(error, "cannot examine " + path + ": " + Errno());
    if (!S_ISSOCK(info.st_mode))
        return Fail(error, path + " exists and is not a socket");
    std::string ignored;
    const int fd = ConnectUnixSocket(path, &ignored);
    if (fd >= 0) {
        ::close(fd);
        return Fail(error, "another emulator already serves " + path);
    }
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        return Fail(error, "cannot remove the stale socket " + path + ": " + Errno());
    return true;
}

} // namespace

struct EmulatorServer::RemoteRead {
    Client* client = nullptr;
    uint32_t id = 0;
    std::atomic<bool> active{false}; // set once the client has the id
    UnitCallback callback;
};

struct EmulatorServer::Client {
    explicit Client(int socket)
        : fd(socket) {}
    ~Client() { ::close(fd); }

    // From the poll thread (replies) and the bridge's delivery thread (notifications).
    void Send(std::span<const uint8_t> bytes) {
        std::lock_guard lock(writeMutex);
        if (broken)
            return;
        if (!SendAll(fd, bytes)) {
            broken = true;
            ::shutdown(fd, SHUT_RDWR); // the poll thread sees the hang-up and drops the client
        }
    }

    int fd;
    bool greeted = false;
    wire::MessageReader reader;
    std::mutex writeMutex;
    bool broken = false;
    std::map<uint32_t, std::unique_ptr<RemoteRead>> reads;
};

EmulatorServer::EmulatorServer(HidBridge& bridge, ControlHandler control)
    : bridge_(bridge)
    , control_(std::move(control)) {
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) == 0) {
        wakeRead_ = pipeFds[0];
        wakeWrite_ = pipeFds[1];
    }
}

EmulatorServer::~EmulatorServer() {
    while (!clients_.empty())
        Drop(*clients_.front());
    if (listenFd_ >= 0) {
        ::close(listenFd_);
        struct stat info {};
        if (::lstat(path_.c_str(), &info) == 0 && info.st_ino == socketInode_) {
            ::unlink(path_.c_str());
            // The clients' turn lock goes with the keyboard they took turns on.
            ::unlink(SocketTurnPlace(path_).lockFile.c_str());
        }
    }
    for (int fd : {wakeRead_, wakeWrite_}) {
        if (fd >= 0)
            ::close(fd);
    }
}

bool EmulatorServer::Listen(const std::string& path, std::string* error) {
    if (wakeRead_ < 0)
        return Fail(error, "cannot create the wake-up pipe: " + Errno());
    if (!FitsSocketAddress(path))
        return Fail(error, "socket path is empty or too long: " + path);
    if (!ClearStalePath(path, error))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return Fail(error, "cannot create a socket: " + Errno());
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const mode_t oldMask = ::umask(0177); // the socket file is the owner's alone
    const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::umask(oldMask);
    struct stat info {};
    if (!bound || ::listen(fd, 16) != 0 || ::lstat(path.c_str(), &info) != 0) {
        const std::string why = Errno();
        ::close(fd);
        return Fail(error, "cannot listen on " + path + ": " + why);
    }
    listenFd_ = fd;
    path_ = path;
    socketInode_ = info.st_ino;
    return true;
}

void EmulatorServer::Stop() {
    if (wakeWrite_ >= 0) {
        const char wake = 1;
        [[maybe_unused]] const ssize_t ignored = ::write(wakeWrite_, &wake, 1);
    }
}

void EmulatorServer::Run() {
    ServeUntilStopped();
    while (!clients_.empty()) // a server that stops serving hangs up on its clients
        Drop(*clients_.front());
}

void EmulatorServer::ServeUntilStopped() {
    while (!quitRequested_) {
        std::vector<pollfd> fds{{wakeRead_, POLLIN, 0}, {listenFd_, POLLIN, 0}};
        for (const auto& client : clients_)
            fds.push_back({client->fd, POLLIN, 0});
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[0].revents != 0)
            return;
        if (fds[1].revents & POLLIN)
            Accept();
        auto client = clients_.begin();
        for (size_t i = 2; i < fds.size(); ++i) {
            auto next = std::next(client);
            if (fds[i].revents != 0 && !ReadFrom(**client))
                Drop(**client);
            client = next;
        }
    }
}

void EmulatorServer::Accept() {
    const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0)
        return;
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &kSendTimeout, sizeof kSendTimeout);
    clients_.push_back(std::make_unique<Client>(fd));
}

bool EmulatorServer::ReadFrom(Client& client) {
    uint8_t buffer[4096];
    const ssize_t got = ::recv(client.fd, buffer, sizeof buffer, MSG_DONTWAIT);
    if (got < 0 && (errno == EINTR || errno == EAGAIN))
        return true;
    if (got <= 0)
        return false;
    client.reader.Append({buffer, static_cast<size_t>(got)});
    while (auto message = client.reader.Next()) {
        if (!Handle(client, *message))
            return false;
    }
    std::lock_guard lock(client.writeMutex);
    return !client.reader.Broken() && !client.broken;
}

bool EmulatorServer::Handle(Client& client, const wire::Message& message) {
    if (!client.greeted)
        return HandleHello(client, message);
    using wire::Type;
    switch (message.type) {
    case Type::GetDeviceCount:
    case Type::WriteOne:
    case Type::StatusWrite: {
        const auto request = wire::DecodeUnitRequest(message.type, message.body);
        if (!request)
            return false;
        client.Send(wire::EncodeResult(HandleUnitCall(message.type, *request)));
        return true;
    }
    case Type::AsyncRead: {
        const auto request = wire::DecodeUnitRequest(message.type, message.body);
        if (!request)
            return false;
        HandleAsyncRead(client, *request);
        return true;
    }
    case Type::DeleteRequest: {
        const auto id = wire::DecodeWord(message.body);
        if (!id)
            return false;
        client.Send(wire::EncodeResult({HandleDelete(client, *id), 0}));
        return true;
    }
    case Type::Control: {
        const auto args = wire::DecodeControl(message.body);
        if (!args)
            return false;
        const ControlOutcome outcome = control_(*args);
        client.Send(wire::EncodeControlReply(outcome.reply));
        quitRequested_ = quitRequested_ || outcome.quit;
        return true;
    }
    default:
        return false;
    }
}

bool EmulatorServer::HandleHello(Client& client, const wire::Message& message) {
    const auto hello =
        message.type == wire::Type::Hello ? wire::DecodeHello(message.body) : std::nullopt;
    if (!hello || hello->magic != wire::kMagic)
        return false;
    client.Send(wire::EncodeWord(wire::Type::HelloReply, wire::kVersion));
    client.greeted = hello->version == wire::kVersion;
    return client.greeted;
}

void EmulatorServer::HandleAsyncRead(Client& client, const wire::UnitRequest& request) {
    auto read = std::make_unique<RemoteRead>();
    read->client = &client;
    RemoteRead* target = read.get();
    read->callback = [target](const UnitNotification& n) {
        if (!target->active)
            return 1;
        wire::Notification out{target->id, n.kind, n.event.tag, n.event.lengthOrCount, {}};
        if (n.kind == static_cast<uint32_t>(NotificationKind::ReportReceived) && n.event.report)
            out.report.assign(n.event.report, n.event.report + n.event.lengthOrCount);
        else
            out.lengthOrCount = n.event.lengthOrCount;
        target->client->Send(wire::EncodeNotification(out));
        return 1;
    };
    uint32_t id = 0;
    const int32_t result = bridge_.RequestAsyncRead(
        request.unit, &read->callback, static_cast<UnitTag>(request.tag),
        ArgumentCheck(request.unit, &read->callback, request.tag, {}), &id);
    client.Send(wire::EncodeResult({result, id}));
    if (result > 0) {
        read->id = id;
        read->active = true;
        client.reads[id] = std::move(read);
    }
}

int32_t EmulatorServer::HandleDelete(Client& client, uint32_t requestId) {
    const auto found = client.reads.find(requestId);
    if (found == client.reads.end())
        return requestId == 0 ? 1 : 0;
    const int32_t result = bridge_.DeleteRequestFromUnitId(requestId);
    client.reads.erase(found);
    return result;
}

wire::Result EmulatorServer::HandleUnitCall(wire::Type type, const wire::UnitRequest& request) {
    const UnitDescriptor& unit = request.unit;
    switch (type) {
    case wire::Type::GetDeviceCount:
        return {bridge_.RequestGetDeviceCount(unit, ArgumentCheck(unit, nullptr, 0, {})), 0};
    case wire::Type::WriteOne:
        return {bridge_.RequestWriteOne(unit, request.data,
                                        ArgumentCheck(unit, nullptr, 0, request.data)),
                0};
    default: {
        uint32_t id = 0;
        const int32_t result = bridge_.RequestStatusWrite(
            unit, nullptr, static_cast<UnitTag>(request.tag), request.data,
            ArgumentCheck(unit, nullptr, request.tag, request.data), &id);
        return {result, id};
    }
    }
}

void EmulatorServer::Drop(Client& client) {
    for (const auto& [id, read] : client.reads)
        bridge_.DeleteRequestFromUnitId(id);
    clients_.remove_if([&client](const auto& c) { return c.get() == &client; });
}

} // namespace tavrik::emu
