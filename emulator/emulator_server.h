#pragma once
// Serves one keyboard (any HidBridge, in practice the emulated one) on a UNIX stream socket to
// any number of clients, in the wire protocol of wire_protocol.h. Every client with a standing
// read receives the keyboard's reports; control commands go to a handler of the owner's.

#include "device/hid_bridge.h"
#include "emulator/wire_protocol.h"

#include <functional>
#include <list>
#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tavrik::emu {

struct ControlOutcome {
    wire::ControlReply reply;
    bool quit = false; // stop serving once the reply is sent
};
using ControlHandler = std::function<ControlOutcome(const std::vector<std::string>& args)>;

class EmulatorServer {
public:
    EmulatorServer(HidBridge& bridge, ControlHandler control);
    // Ends every client's standing reads, closes the socket and removes its file if it is still
    // the one this server created.
    ~EmulatorServer();
    EmulatorServer(const EmulatorServer&) = delete;
    EmulatorServer& operator=(const EmulatorServer&) = delete;

    // Binds `path` (only the owner may connect). Refuses when another server answers there or
    // when the path is something other than a socket; a socket nobody answers on is stale and
    // is replaced.
    bool Listen(const std::string& path, std::string* error);
    // Serves until Stop() or a client's quit command, then hangs up on every client.
    void Run();
    // Makes Run() return; safe to call from a signal handler and from any thread.
    void Stop();

private:
    struct Client;
    struct RemoteRead;

    void ServeUntilStopped();
    void Accept();
    // False when the client is to be dropped.
    bool ReadFrom(Client& client);
    bool Handle(Client& client, const wire::Message& message);
    bool HandleHello(Client& client, const wire::Message& message);
    void HandleAsyncRead(Client& client, const wire::UnitRequest& request);
    int32_t HandleDelete(Client& client, uint32_t requestId);
    wire::Result HandleUnitCall(wire::Type type, const wire::UnitRequest& request);
    void Drop(Client& client);

    HidBridge& bridge_;
    ControlHandler control_;
    int listenFd_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    std::string path_;
    ino_t socketInode_ = 0;
    bool quitRequested_ = false;
    std::list<std::unique_ptr<Client>> clients_;
};

} // namespace tavrik::emu
