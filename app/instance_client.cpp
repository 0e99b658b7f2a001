#include "app/instance_client.h"

#include "app/instance_log.h"
#include "app/peer_credentials.h"

#include <unistd.h>

namespace tavrik {
namespace {

constexpr int kConnectTimeoutMs = 2000;
// The running instance answers from its event loop, which a modal file dialog keeps running.
constexpr int kAnswerTimeoutMs = 30000;
constexpr int kEndTimeoutMs = 10000;

bool ReadExactly(QLocalSocket& connection, char* out, qint64 size) {
    qint64 done = 0;
    while (done < size) {
        if (connection.bytesAvailable() == 0 && !connection.waitForReadyRead(kAnswerTimeoutMs)) {
            return false;
        }
        const qint64 got = connection.read(out + done, size - done);
        if (got < 0) {
            return false;
        }
        done += got;
    }
    return true;
}

} // namespace

std::unique_ptr<QLocalSocket> ConnectToRunningInstance(const std::filesystem::path& socketPath) {
    auto connection = std::make_unique<QLocalSocket>();
    connection->connectToServer(QString::fromStdString(socketPath.string()));
    if (!connection->waitForConnected(kConnectTimeoutMs)) {
        return nullptr;
    }
    if (!IsPeerSameUser(connection->socketDescriptor(), ::getuid())) {
        qCWarning(lcInstance) << "the instance socket belongs to another user; ignoring it";
        return nullptr;
    }
    return connection;
}

bool NotifyRunningInstance(QLocalSocket& connection, InstanceCommand command) {
    const auto bytes = EncodeInstanceMessage(MessageForCommand(command));
    connection.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!connection.waitForBytesWritten(kAnswerTimeoutMs)) {
        return false;
    }
    std::array<uint8_t, instance_wire::kReplySize> reply{};
    if (!ReadExactly(connection, reinterpret_cast<char*>(reply.data()), reply.size())) {
        return false;
    }
    if (command == InstanceCommand::Kill && connection.state() != QLocalSocket::UnconnectedState) {
        // The running instance closes its end when its process ends.
        connection.waitForDisconnected(kEndTimeoutMs);
    }
    return DecodeInstanceReply(reply).has_value();
}

} // namespace tavrik
