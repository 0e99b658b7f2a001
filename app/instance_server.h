#pragma once
// InstanceServer: the primary instance's end of the hand-over. It listens on the per-user
// socket, takes over a socket left behind by a crashed instance, reads instance messages from
// the owning user's processes only, runs the handler for a correctly tagged OPEN or KILL and
// answers once the handler has returned (for KILL: after the whole exit sequence).

#include "app/instance_message.h"

#include <QLocalServer>
#include <QObject>

#include <filesystem>
#include <functional>

class QLocalSocket;

namespace tavrik {

class InstanceServer : public QObject {
    Q_OBJECT
public:
    enum class ListenResult { Listening, InUse, Failed };
    using Handler = std::function<void(InstanceCommand)>;

    explicit InstanceServer(QObject* parent = nullptr);
    ~InstanceServer() override;

    ListenResult Listen(const std::filesystem::path& socketPath);
    // Stops listening and removes the socket (the exit sequence's "close the mutex").
    void Close();
    void SetHandler(Handler handler) { m_handler = std::move(handler); }

private:
    void AcceptConnections();
    void ReadMessages(QLocalSocket* socket);

    QLocalServer m_server;
    Handler m_handler;
};

} // namespace tavrik
