#include "emulator/socket_hid_bridge.h"

#include "emulator/socket_io.h"

#include <chrono>
#include <sys/socket.h>
#include <unistd.h>

namespace tavrik {

namespace emu {

namespace {

// The server answers every call at once (a configuration frame's answer comes later, as a
// notification); a reply this late means the server hangs, and the connection is given up.
constexpr auto kReplyTimeout = std::chrono::seconds(10);
constexpr timeval kHandshakeTimeout{5, 0};
constexpr timeval kNoTimeout{0, 0};
constexpr UnitDescriptor kKeyboardUnits[] = {kLedUnit, kConsUnit, kCtrlUnit};

bool Greet(int fd, std::string* error) {
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &kHandshakeTimeout, sizeof kHandshakeTimeout);
    wire::MessageReader reader;
    const bool sent = SendAll(fd, wire::EncodeHello({}));
    const auto reply = sent ? ReceiveMessage(fd, reader) : std::nullopt;
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &kNoTimeout, sizeof kNoTimeout);
    const auto version = reply && reply->type == wire::Type::HelloReply
                             ? wire::DecodeWord(reply->body)
                             : std::nullopt;
    if (!version) {
        *error = "the socket does not answer as a keyboard emulator";
        return false;
    }
    if (*version != wire::kVersion) {
        *error = "the emulator speaks protocol version " + std::to_string(*version) +
                 ", this program version " + std::to_string(wire::kVersion);
        return false;
    }
    return true;
}

} // namespace

std::unique_ptr<SocketHidBridge> SocketHidBridge::Connect(const std::string& path,
                                                          std::string* error) {
    const int fd = ConnectUnixSocket(path, error);
    if (fd < 0)
        return nullptr;
    if (!Greet(fd, error)) {
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<SocketHidBridge>(new SocketHidBridge(fd, path));
}

SocketHidBridge::SocketHidBridge(int fd, std::string path)
    : fd_(fd)
    , path_(std::move(path))
    , reader_([this] { ReadReplies(); }) {}

SocketHidBridge::~SocketHidBridge() {
    closing_ = true;
    ::shutdown(fd_, SHUT_RDWR);
    reader_.join();
    ::close(fd_);
}

std::optional<TurnPlace> SocketHidBridge::KeyboardTurnPlace() const {
    return SocketTurnPlace(path_);
}

std::optional<wire::ControlReply> SocketHidBridge::Control(const std::vector<std::string>& args) {
    const auto reply = Call(wire::EncodeControl(args));
    if (!reply || reply->type != wire::Type::ControlReply)
        return std::nullopt;
    return wire::DecodeControlReply(reply->body);
}

int32_t SocketHidBridge::CountDevices(const UnitDescriptor& unit) {
    const auto result =
        CallForResult(wire::EncodeUnitRequest(wire::Type::GetDeviceCount, {unit, 0, {}}));
    return result ? result->result : 0;
}

int32_t SocketHidBridge::StartRead(const UnitDescriptor& unit, const UnitCallback* callback,
                                   UnitTag tag, uint32_t* requestId) {
    const auto tagValue = static_cast<uint32_t>(tag);
    std::lock_guard lock(callMutex_);
    {
        // The reader registers the read the moment the id arrives, before it reads on, so no
        // notification for the new id can slip past.
        std::lock_guard replyLock(replyMutex_);
        pendingRead_ = RequestRegistry::Request{unit, callback, tagValue};
    }
    const auto result =
        CallForResultLocked(wire::EncodeUnitRequest(wire::Type::AsyncRead, {unit, tagValue, {}}));
    if (!result)
        return 0;
    if (result->result > 0)
        *requestId = result->requestId;
    return result->result;
}

int32_t SocketHidBridge::DeleteRequest(uint32_t requestId) {
    requests_.Remove(requestId);
    const auto result = CallForResult(wire::EncodeWord(wire::Type::DeleteRequest, requestId));
    return result ? result->result : 0;
}

int32_t SocketHidBridge::WriteReport(const UnitDescriptor& unit, std::span<const uint8_t> report) {
    const auto result = CallForResult(
        wire::EncodeUnitRequest(wire::Type::WriteOne, {unit, 0, {report.begin(), report.end()}}));
    return result ? result->result : 0;
}

int32_t SocketHidBridge::WriteStatus(const UnitDescriptor& unit, std::span<const uint8_t> status,
                                     uint32_t* requestId) {
    const auto result = CallForResult(wire::EncodeUnitRequest(
        wire::Type::StatusWrite,
        {unit, static_cast<uint32_t>(UnitTag::Led), {status.begin(), status.end()}}));
    if (result && result->result > 0 && requestId != nullptr)
        *requestId = result->requestId;
    return result ? result->result : 0;
}

std::optional<wire::Result> SocketHidBridge::CallForResult(const std::vector<uint8_t>& request) {
    std::lock_guard lock(callMutex_);
    return CallForResultLocked(request);
}

std::optional<wire::Result>
SocketHidBridge::CallForResultLocked(const std::vector<uint8_t>& request) {
    const auto reply = CallLocked(request);
    if (!reply || reply->type != wire::Type::Result)
        return std::nullopt;
    return wire::DecodeResult(reply->body);
}

std::optional<wire::Message> SocketHidBridge::Call(const std::vector<uint8_t>& request) {
    std::lock_guard lock(callMutex_);
    return CallLocked(request);
}

std::optional<wire::Message> SocketHidBridge::CallLocked(const std::vector<uint8_t>& request) {
    std::unique_lock replyLock(replyMutex_);
    reply_.reset();
    bool sent = connected_;
    if (sent) {
        replyLock.unlock(); // the reader must stay free to take notifications meanwhile
        sent = SendAll(fd_, request);
        replyLock.lock();
    }
    if (!sent) {
        pendingRead_.reset();
        return std::nullopt;
    }
    const bool answered =
        replyArrived_.wait_for(replyLock, kReplyTimeout, [this] { return reply_ || !connected_; });
    if (!answered) {
        pendingRead_.reset();
        ::shutdown(fd_, SHUT_RDWR); // a late reply would be taken for the next call's
        return std::nullopt;
    }
    std::optional<wire::Message> reply;
    reply.swap(reply_);
    return reply;
}

void SocketHidBridge::ReadReplies() {
    wire::MessageReader reader;
    while (auto message = ReceiveMessage(fd_, reader)) {
        if (message->type == wire::Type::Notification) {
            auto notification = wire::DecodeNotification(message->body);
            if (!notification)
                break;
            delivery_.Post(DeliveryThread::Clock::now(), [this, n = std::move(*notification)] {
                requests_.NotifyRequest(n.requestId, static_cast<NotificationKind>(n.kind),
                                        n.lengthOrCount, n.report);
            });
            continue;
        }
        std::lock_guard lock(replyMutex_);
        RegisterPendingRead(*message);
        reply_ = std::move(message);
        replyArrived_.notify_all();
    }
    Disconnect();
}

void SocketHidBridge::RegisterPendingRead(const wire::Message& reply) {
    if (!pendingRead_)
        return;
    const auto result =
        reply.type == wire::Type::Result ? wire::DecodeResult(reply.body) : std::nullopt;
    if (result && result->result > 0)
        requests_.AddWithId(result->requestId, *pendingRead_);
    pendingRead_.reset();
}

void SocketHidBridge::Disconnect() {
    {
        std::lock_guard lock(replyMutex_);
        connected_ = false;
        replyArrived_.notify_all();
    }
    if (closing_)
        return;
    // Without the server there is no keyboard.
    delivery_.Post(DeliveryThread::Clock::now(), [this] {
        for (const UnitDescriptor& unit : kKeyboardUnits)
            requests_.NotifyUnit(unit, NotificationKind::CountChanged, 0, {});
    });
}

} // namespace emu

std::unique_ptr<HidBridge> ConnectEmulatorSocket(const std::string& path, std::string* error) {
    return emu::SocketHidBridge::Connect(path, error);
}

} // namespace tavrik
