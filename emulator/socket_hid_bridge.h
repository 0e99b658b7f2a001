#pragma once
// The client side of tavrik-emu's socket (--device emu:PATH): a HidBridge whose keyboard is the
// one a `tavrik-emu serve PATH` process emulates. Several clients may share that keyboard; each
// receives its reports. Notifications reach the callbacks on a delivery thread of the bridge's
// own, so a callback may call the bridge. When the server goes away every standing read is told
// the keyboard count 0 and further calls find no keyboard.

#include "device/hid_bridge.h"
#include "emulator/checked_hid_bridge.h"
#include "emulator/delivery_thread.h"
#include "emulator/request_registry.h"
#include "emulator/wire_protocol.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace tavrik {

std::unique_ptr<HidBridge> ConnectEmulatorSocket(const std::string& path, std::string* error);

namespace emu {

class SocketHidBridge final : public CheckedHidBridge {
public:
    // Connects and greets the server; nothing and the reason when either fails.
    static std::unique_ptr<SocketHidBridge> Connect(const std::string& path, std::string* error);
    ~SocketHidBridge() override;

    // Runs one control command of the server (`tavrik-emu ctl`); nothing when the connection
    // failed.
    std::optional<wire::ControlReply> Control(const std::vector<std::string>& args);

    // "PATH.lock" beside the socket.
    std::optional<TurnPlace> KeyboardTurnPlace() const override;

protected:
    int32_t CountDevices(const UnitDescriptor& unit) override;
    int32_t StartRead(const UnitDescriptor& unit, const UnitCallback* callback, UnitTag tag,
                      uint32_t* requestId) override;
    int32_t DeleteRequest(uint32_t requestId) override;
    int32_t WriteReport(const UnitDescriptor& unit, std::span<const uint8_t> report) override;
    int32_t WriteStatus(const UnitDescriptor& unit, std::span<const uint8_t> status,
                        uint32_t* requestId) override;

private:
    SocketHidBridge(int fd, std::string path);

    // Sends a request and waits for its reply; nothing when the connection is gone. The Locked
    // forms expect callMutex_ held.
    std::optional<wire::Message> Call(const std::vector<uint8_t>& request);
    std::optional<wire::Message> CallLocked(const std::vector<uint8_t>& request);
    std::optional<wire::Result> CallForResult(const std::vector<uint8_t>& request);
    std::optional<wire::Result> CallForResultLocked(const std::vector<uint8_t>& request);
    void ReadReplies();
    void RegisterPendingRead(const wire::Message& reply);
    void Disconnect();

    int fd_;
    std::string path_;
    std::mutex callMutex_; // one call in flight
    std::mutex replyMutex_;
    std::condition_variable replyArrived_;
    std::optional<wire::Message> reply_;
    std::optional<RequestRegistry::Request> pendingRead_; // a standing read awaiting its id
    bool connected_ = true;
    std::atomic<bool> closing_{false}; // the owner is destroying the bridge: no more callbacks
    RequestRegistry requests_;
    DeliveryThread delivery_;
    std::thread reader_; // last: starts once everything it uses exists
};

} // namespace emu
} // namespace tavrik
