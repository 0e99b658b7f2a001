#pragma once
// The HidBridge for real keyboards on Linux, over hidraw. Every hidraw node of the keyboard
// (vendor 04B4, product 2009) is opened once; a node may carry several units, and its report
// descriptor says which report ids belong to which. Each open node has one reader thread that
// hands input reports to the standing reads of their unit. Nodes coming and going (a hotplug
// watch) are turned into count notifications (kind 0) for the standing reads.
//
// Callbacks run on a reader or the hotplug thread, never with a lock of the bridge held. Deleting a
// standing read waits for a delivery to it in progress on another thread, so its callback may be
// destroyed once the deletion returns; a callback may delete its own read.

#include "device/hid_bridge.h"
#include "device/hid_platform.h"
#include "device/report_descriptor.h"

#include <atomic>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace tavrik {

class HidapiBridge final : public HidBridge {
public:
    // Scans for keyboards and starts watching for more; nothing and the reason when the watch
    // cannot be set up.
    static std::unique_ptr<HidapiBridge> Start(std::unique_ptr<HidPlatform> platform,
                                               std::string* error);
    ~HidapiBridge() override;

    HidapiBridge(const HidapiBridge&) = delete;
    HidapiBridge& operator=(const HidapiBridge&) = delete;

    int32_t RequestGetDeviceCount(const UnitDescriptor& unit, uint32_t check) override;
    int32_t RequestAsyncRead(const UnitDescriptor& unit, const UnitCallback* callback, UnitTag tag,
                             uint32_t check, uint32_t* requestId) override;
    int32_t DeleteRequestFromUnitId(uint32_t requestId) override;
    int32_t RequestWriteOne(const UnitDescriptor& unit, std::span<const uint8_t> report,
                            uint32_t check) override;
    int32_t RequestStatusWrite(const UnitDescriptor& unit, const UnitCallback* callback,
                               UnitTag tag, std::span<const uint8_t> status, uint32_t check,
                               uint32_t* requestId) override;
    bool KeyboardPresentButNotAccessible() const override;
    // The hidraw node that carries the CTRL unit.
    std::optional<TurnPlace> KeyboardTurnPlace() const override;

private:
    struct OpenNode;
    struct StandingRead {
        UnitDescriptor unit;
        const UnitCallback* callback = nullptr;
        uint32_t tag = 0;
    };

    HidapiBridge(std::unique_ptr<HidPlatform> platform, std::unique_ptr<HotplugWatch> watch);

    // Brings the open nodes in line with what is attached and tells the standing reads of every
    // unit whose count changed.
    void Rescan();
    void ReadNode(OpenNode& node, std::stop_token stop);
    void Route(const OpenNode& node, std::span<const uint8_t> report);
    // Calls the read's callback unless the read has been deleted; a deletion meanwhile waits.
    void Deliver(uint32_t requestId, NotificationKind kind, uint32_t lengthOrCount,
                 const uint8_t* report);
    std::unique_ptr<OpenNode> OpenKeyboardNode(const std::string& path,
                                               const std::vector<HidCollectionInfo>& units,
                                               OpenFailure& failure);
    int32_t CountLocked(const UnitDescriptor& unit) const;
    HidNode* NodeForLocked(const UnitDescriptor& unit) const;
    const OpenNode* OpenNodeForLocked(const UnitDescriptor& unit) const;
    std::vector<uint32_t> ReadsOfLocked(const UnitDescriptor& unit) const;

    std::unique_ptr<HidPlatform> platform_;
    std::unique_ptr<HotplugWatch> watch_;
    std::mutex scanMutex_; // one scan at a time
    mutable std::mutex mutex_;
    std::vector<std::unique_ptr<OpenNode>> nodes_;
    std::set<std::string> inaccessible_;
    std::map<uint32_t, StandingRead> reads_;
    std::map<uint32_t, int32_t> notifiedCounts_; // per standing read: the last count it was told
    // The deliveries in progress: which read, on which thread.
    std::multimap<uint32_t, std::thread::id> delivering_;
    std::condition_variable deliveryDone_;
    uint32_t nextRequestId_ = 1;
    std::jthread hotplugThread_; // last: started once everything it uses exists
};

} // namespace tavrik
