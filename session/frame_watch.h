#pragma once
// A transport in front of the chosen backend that follows every configuration exchange: which
// frame went out, how often, and how the keyboard answered its last attempt. Operations such as
// the download report only "failed" (and only for their last key map); with this the command
// line and the main window can say which part failed and how.
//
// Every call is passed on unchanged, except that a standing read of the CTRL unit is issued
// with a callback of its own, which looks at each answer and then hands it on.

#include "device/config_frame.h"
#include "device/device_result.h"
#include "device/forwarding_hid_bridge.h"
#include "device/written_bytes_check.h"

#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace tavrik {

class DeviceCommands;

// One configuration exchange whose last attempt failed, or a written frame whose bytes read back
// differently (result DiffersAfterWrite).
struct FailedExchange {
    uint8_t command = 0;
    uint16_t address = 0;
    uint8_t length = 0;
    DeviceResult result = DeviceResult::NoAnswer;
    bool operator==(const FailedExchange&) const = default;
};

// What the frames followed since the last Reset changed on the keyboard: of the frames that
// write its memory (key maps, macro memory, colours, lighting, settings), how many it acknowledged
// and how many went out without an answer (it may have taken them), and whether its macro memory
// may be left without the image's magic (a macro download clears it first and writes it last, so
// the keyboard plays no macros until one is finished). Refused frames changed nothing.
struct KeyboardChanges {
    size_t acknowledged = 0;
    size_t unanswered = 0;
    bool macrosCleared = false;

    bool AnyReachedTheKeyboard() const { return acknowledged + unanswered > 0; }
};

class FrameWatch final : public ForwardingHidBridge {
public:
    explicit FrameWatch(std::unique_ptr<HidBridge> inner);

    FrameWatch(const FrameWatch&) = delete;
    FrameWatch& operator=(const FrameWatch&) = delete;

    int32_t RequestAsyncRead(const UnitDescriptor& unit, const UnitCallback* callback, UnitTag tag,
                             uint32_t check, uint32_t* requestId) override;
    int32_t DeleteRequestFromUnitId(uint32_t requestId) override;
    int32_t RequestWriteOne(const UnitDescriptor& unit, std::span<const uint8_t> report,
                            uint32_t check) override;

    // Turns on the read-back of `commands`' writes and follows the frames that read back
    // differently as failed exchanges of their own. The watch must outlive `commands`.
    void FollowWriteChecks(DeviceCommands& commands);

    // Forgets the exchanges followed so far.
    void Reset();
    // The exchanges since the last Reset whose last attempt failed, in the order they were sent.
    // Call when no exchange is in flight.
    std::vector<FailedExchange> FailedExchanges();
    // What the exchanges since the last Reset changed; call when no exchange is in flight.
    KeyboardChanges Changes();

private:
    void FrameSent(const ConfigFrame& frame);
    void WriteRefused();
    void AnswerArrived(const UnitNotification& notification);
    void FinishExchangeLocked();
    void FrameDiffered(const CommandHeader& frame);
    bool LastAttemptSucceededLocked() const;

    std::mutex mutex_;
    std::optional<ConfigFrame> inFlight_; // the exchange being followed
    std::optional<uint8_t> answerStatus_; // its last attempt's answer
    bool writeRefused_ = false;
    std::vector<FailedExchange> failed_;
    KeyboardChanges changes_;

    std::mutex callbackMutex_;
    std::list<UnitCallback> callbacks_; // stable addresses
    std::map<uint32_t, std::list<UnitCallback>::iterator> callbackOfRequest_;
    std::unique_ptr<HidBridge> inner_; // last: gone before the callbacks it may still call
};

} // namespace tavrik
