#include "app/instance_server.h"

#include "app/instance_client.h"
#include "app/instance_log.h"
#include "app/peer_credentials.h"

#include <QLocalSocket>
#include <QTimer>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcInstance, "tavrik.instance", QtWarningMsg)

namespace tavrik {
namespace {

// A client that sends no message is dropped after this long.
constexpr int kIdleConnectionMs = 30000;

// Holds an exclusive lock on "<socket>.lock" so that two starts never both take over a stale
// socket (the second would remove the first one's fresh socket).
class TakeoverLock {
public:
    explicit TakeoverLock(const std::filesystem::path& socketPath) {
        const std::string lockFile = socketPath.string() + ".lock";
        m_fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (m_fd >= 0) {
            ::flock(m_fd, LOCK_EX);
        }
    }
    ~TakeoverLock() {
        if (m_fd >= 0) {
            ::close(m_fd); // releases the lock
        }
    }
    TakeoverLock(const TakeoverLock&) = delete;
    TakeoverLock& operator=(const TakeoverLock&) = delete;

private:
    int m_fd = -1;
};

const char* CommandName(InstanceCommand command) {
    switch (command) {
    case InstanceCommand::Open:
        return "OPEN";
    case InstanceCommand::Kill:
        return "KILL";
    case InstanceCommand::None:
        break;
    }
    return "none";
}

} // namespace

InstanceServer::InstanceServer(QObject* parent)
    : QObject(parent) {
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, &InstanceServer::AcceptConnections);
}

InstanceServer::~InstanceServer() {
    Close();
}

InstanceServer::ListenResult InstanceServer::Listen(const std::filesystem::path& socketPath) {
    // Qt may put a new socket in place of an existing one, so whether an instance runs is asked
    // first, under the lock, and a socket nobody answers on is removed before listening.
    const TakeoverLock lock(socketPath);
    if (ConnectToRunningInstance(socketPath) != nullptr) {
        return ListenResult::InUse;
    }
    std::error_code error;
    const bool stale = std::filesystem::exists(std::filesystem::symlink_status(socketPath, error));
    const QString name = QString::fromStdString(socketPath.string());
    if (stale) {
        // Left behind by an instance that did not end cleanly: take it over.
        QLocalServer::removeServer(name);
    }
    if (!m_server.listen(name)) {
        return ListenResult::Failed;
    }
    if (stale) {
        qCInfo(lcInstance) << "took over a stale socket; listening on" << name;
    } else {
        qCInfo(lcInstance) << "listening on" << name;
    }
    return ListenResult::Listening;
}

void InstanceServer::Close() {
    if (m_server.isListening()) {
        m_server.close(); // also removes the socket file
    }
}

void InstanceServer::AcceptConnections() {
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        if (!IsPeerSameUser(socket->socketDescriptor(), ::getuid())) {
            qCWarning(lcInstance) << "refused a connection from another user";
            socket->abort();
            socket->deleteLater();
            continue;
        }
        socket->setReadBufferSize(4 * instance_wire::kSize);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadMessages(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(kIdleConnectionMs, socket, [socket] { socket->disconnectFromServer(); });
    }
}

void InstanceServer::ReadMessages(QLocalSocket* socket) {
    while (socket->bytesAvailable() >= static_cast<qint64>(instance_wire::kSize)) {
        std::array<uint8_t, instance_wire::kSize> bytes{};
        socket->read(reinterpret_cast<char*>(bytes.data()), bytes.size());
        const std::optional<InstanceMessage> message = DecodeInstanceMessage(bytes);
        const InstanceCommand command = CommandOfMessage(*message);
        if (command == InstanceCommand::None) {
            qCInfo(lcInstance).nospace() << "ignored message 0x" << Qt::hex << message->message
                                         << " with wParam 0x" << message->wParam;
        } else {
            qCInfo(lcInstance) << "received" << CommandName(command);
            if (m_handler) {
                m_handler(command);
            }
        }
        // The answer goes out only now, as a synchronous message returns after its handling.
        const auto reply = EncodeInstanceReply(0);
        socket->write(reinterpret_cast<const char*>(reply.data()), reply.size());
        socket->flush();
    }
}

} // namespace tavrik
