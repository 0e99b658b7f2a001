#include "device/hidapi_bridge.h"

#include "device/known_units.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <utility>

namespace tavrik {

namespace {

inline constexpr std::chrono::milliseconds kReadPoll{100};
inline constexpr size_t kMaxInputReport = 256;

bool IsKnownUnit(const UnitDescriptor& unit) {
    const KnownUnit* known = FindKnownUnit(unit.usagePage, unit.usage);
    return known != nullptr && known->unit == unit;
}

uint32_t TagValue(UnitTag tag) {
    return static_cast<uint32_t>(tag);
}

} // namespace

struct NodeUnit {
    KnownUnit known;
    std::vector<uint8_t> reportIds; // from the report descriptor
};

struct HidapiBridge::OpenNode {
    std::string path;
    std::unique_ptr<HidNode> node;
    std::vector<NodeUnit> units;
    bool numbered = false; // its reports begin with a report id
    std::atomic<bool> failed{false};
    std::jthread reader; // last: stopped and joined first

    bool Carries(const UnitDescriptor& unit) const {
        return std::ranges::any_of(units, [&](const NodeUnit& u) { return u.known.unit == unit; });
    }
    bool Serves(const UnitDescriptor& unit) const { return !failed && Carries(unit); }

    // The unit an input report belongs to, and the bytes its standing reads receive.
    const NodeUnit* UnitOf(std::span<const uint8_t> report, std::span<const uint8_t>& data) const {
        if (!numbered) {
            data = report;
            return units.size() == 1 ? &units.front() : nullptr;
        }
        if (report.empty())
            return nullptr;
        for (const NodeUnit& unit : units) {
            if (std::ranges::find(unit.reportIds, report.front()) != unit.reportIds.end()) {
                data = unit.known.reportIdInData ? report : report.subspan(1);
                return &unit;
            }
        }
        return nullptr;
    }
};

std::unique_ptr<HidapiBridge> HidapiBridge::Start(std::unique_ptr<HidPlatform> platform,
                                                  std::string* error) {
    std::unique_ptr<HotplugWatch> watch = platform->WatchHotplug();
    if (!watch) {
        if (error)
            *error = "cannot watch for keyboards being plugged in (libudev monitor)";
        return nullptr;
    }
    return std::unique_ptr<HidapiBridge>(new HidapiBridge(std::move(platform), std::move(watch)));
}

HidapiBridge::HidapiBridge(std::unique_ptr<HidPlatform> platform,
                           std::unique_ptr<HotplugWatch> watch)
    : platform_(std::move(platform))
    , watch_(std::move(watch)) {
    Rescan();
    hotplugThread_ = std::jthread([this](std::stop_token stop) {
        while (watch_->Wait() && !stop.stop_requested())
            Rescan();
    });
}

HidapiBridge::~HidapiBridge() {
    hotplugThread_.request_stop();
    watch_->Wake();
    hotplugThread_.join();
    std::vector<std::unique_ptr<OpenNode>> closing;
    {
        std::lock_guard lock(mutex_);
        closing.swap(nodes_);
    }
    closing.clear(); // joins the readers, which may still take the lock
}

void HidapiBridge::Rescan() {
    std::lock_guard scan(scanMutex_);
    std::map<std::string, std::vector<HidCollectionInfo>> attached;
    for (HidCollectionInfo& info : platform_->Enumerate(kKeyboardVendorId, kKeyboardProductId))
        if (FindKnownUnit(info.usagePage, info.usage))
            attached[info.path].push_back(std::move(info));

    std::vector<std::unique_ptr<OpenNode>> closing;
    std::set<std::string> open;
    {
        std::lock_guard lock(mutex_);
        const auto gone = std::partition(nodes_.begin(), nodes_.end(), [&](const auto& node) {
            return !node->failed && attached.contains(node->path);
        });
        std::move(gone, nodes_.end(), std::back_inserter(closing));
        nodes_.erase(gone, nodes_.end());
        for (const auto& node : nodes_)
            open.insert(node->path);
    }
    closing.clear(); // joins their readers outside the lock

    std::vector<std::unique_ptr<OpenNode>> opened;
    std::set<std::string> denied;
    for (const auto& [path, units] : attached) {
        if (open.contains(path))
            continue;
        OpenFailure failure = OpenFailure::None;
        if (auto node = OpenKeyboardNode(path, units, failure))
            opened.push_back(std::move(node));
        else if (failure == OpenFailure::AccessDenied)
            denied.insert(path);
    }

    std::vector<std::pair<uint32_t, int32_t>> changes;
    {
        std::lock_guard lock(mutex_);
        std::ranges::move(opened, std::back_inserter(nodes_));
        std::ranges::sort(nodes_, {}, &OpenNode::path);
        // A keyboard that arrived or left without being opened leaves the count as it was;
        // the count is told again so that listeners can look whether one may not be opened.
        const bool accessChanged = inaccessible_.empty() != denied.empty();
        inaccessible_ = std::move(denied);
        for (const auto& [id, read] : reads_) {
            const int32_t count = CountLocked(read.unit);
            if (std::exchange(notifiedCounts_[id], count) != count || accessChanged)
                changes.emplace_back(id, count);
        }
    }
    for (const auto& [id, count] : changes)
        Deliver(id, NotificationKind::CountChanged, static_cast<uint32_t>(count), nullptr);
}

std::unique_ptr<HidapiBridge::OpenNode>
HidapiBridge::OpenKeyboardNode(const std::string& path, const std::vector<HidCollectionInfo>& units,
                               OpenFailure& failure) {
    OpenedNode opened = platform_->Open(path);
    failure = opened.failure;
    if (!opened.node)
        return nullptr;
    auto node = std::make_unique<OpenNode>();
    node->path = path;
    node->node = std::move(opened.node);
    const auto descriptor = platform_->ReportDescriptor(path);
    const auto collections = descriptor ? ParseReportDescriptor(*descriptor)
                                        : std::optional<std::vector<TopLevelCollection>>{};
    for (const HidCollectionInfo& info : units) {
        NodeUnit unit{*FindKnownUnit(info.usagePage, info.usage), {}};
        for (const TopLevelCollection& collection :
             collections.value_or(std::vector<TopLevelCollection>{}))
            if (collection.usagePage == info.usagePage && collection.usage == info.usage)
                unit.reportIds = collection.reportIds;
        node->numbered = node->numbered || !unit.reportIds.empty();
        node->units.push_back(std::move(unit));
    }
    OpenNode& running = *node;
    node->reader =
        std::jthread([this, &running](std::stop_token stop) { ReadNode(running, stop); });
    return node;
}

void HidapiBridge::ReadNode(OpenNode& node, std::stop_token stop) {
    std::array<uint8_t, kMaxInputReport> buffer{};
    while (!stop.stop_requested()) {
        const int length = node.node->Read(buffer, kReadPoll);
        if (length < 0) {
            node.failed = true; // the keyboard went away; the hotplug watch will tell
            return;
        }
        if (length > 0)
            Route(node, std::span(buffer).first(std::min<size_t>(length, buffer.size())));
    }
}

void HidapiBridge::Route(const OpenNode& node, std::span<const uint8_t> report) {
    std::span<const uint8_t> data;
    const NodeUnit* unit = node.UnitOf(report, data);
    if (unit == nullptr)
        return;
    std::vector<uint32_t> reads;
    {
        std::lock_guard lock(mutex_);
        reads = ReadsOfLocked(unit->known.unit);
    }
    for (const uint32_t id : reads)
        Deliver(id, NotificationKind::ReportReceived, static_cast<uint32_t>(data.size()),
                data.data());
}

void HidapiBridge::Deliver(uint32_t requestId, NotificationKind kind, uint32_t lengthOrCount,
                           const uint8_t* report) {
    StandingRead read;
    std::multimap<uint32_t, std::thread::id>::iterator delivery;
    {
        std::lock_guard lock(mutex_);
        const auto found = reads_.find(requestId);
        if (found == reads_.end())
            return; // deleted since the report came in
        read = found->second;
        delivery = delivering_.emplace(requestId, std::this_thread::get_id());
    }
    UnitNotification notification;
    notification.kind = static_cast<uint32_t>(kind);
    notification.event = {read.tag, lengthOrCount, report};
    (*read.callback)(notification);
    {
        std::lock_guard lock(mutex_);
        delivering_.erase(delivery);
    }
    deliveryDone_.notify_all();
}

int32_t HidapiBridge::CountLocked(const UnitDescriptor& unit) const {
    return static_cast<int32_t>(
        std::ranges::count_if(nodes_, [&](const auto& node) { return node->Serves(unit); }));
}

const HidapiBridge::OpenNode* HidapiBridge::OpenNodeForLocked(const UnitDescriptor& unit) const {
    const auto found =
        std::ranges::find_if(nodes_, [&](const auto& node) { return node->Serves(unit); });
    return found == nodes_.end() ? nullptr : found->get();
}

HidNode* HidapiBridge::NodeForLocked(const UnitDescriptor& unit) const {
    const OpenNode* open = OpenNodeForLocked(unit);
    return open == nullptr ? nullptr : open->node.get();
}

std::vector<uint32_t> HidapiBridge::ReadsOfLocked(const UnitDescriptor& unit) const {
    std::vector<uint32_t> reads;
    for (const auto& [id, read] : reads_)
        if (read.unit == unit)
            reads.push_back(id);
    return reads;
}

int32_t HidapiBridge::RequestGetDeviceCount(const UnitDescriptor& unit, uint32_t check) {
    if (check != ArgumentCheck(unit, nullptr, 0, {}))
        return kArgumentCheckRefused;
    std::lock_guard lock(mutex_);
    return CountLocked(unit);
}

int32_t HidapiBridge::RequestAsyncRead(const UnitDescriptor& unit, const UnitCallback* callback,
                                       UnitTag tag, uint32_t check, uint32_t* requestId) {
    if (check != ArgumentCheck(unit, callback, TagValue(tag), {}) || callback == nullptr ||
        requestId == nullptr || !IsKnownUnit(unit))
        return kArgumentCheckRefused;
    std::lock_guard lock(mutex_);
    const uint32_t id = nextRequestId_++;
    reads_[id] = {unit, callback, TagValue(tag)};
    notifiedCounts_[id] = CountLocked(unit);
    *requestId = id;
    return 1;
}

int32_t HidapiBridge::DeleteRequestFromUnitId(uint32_t requestId) {
    if (requestId == 0)
        return 1;
    std::unique_lock lock(mutex_);
    notifiedCounts_.erase(requestId);
    const bool deleted = reads_.erase(requestId) > 0;
    // A delivery to this read that began before the deletion ends before the caller may let its
    // callback go; a callback deleting its own read does not wait for itself.
    deliveryDone_.wait(lock, [&] {
        const auto [first, last] = delivering_.equal_range(requestId);
        return std::all_of(first, last, [](const auto& delivery) {
            return delivery.second == std::this_thread::get_id();
        });
    });
    return deleted ? 1 : 0;
}

int32_t HidapiBridge::RequestWriteOne(const UnitDescriptor& unit, std::span<const uint8_t> report,
                                      uint32_t check) {
    if (check != ArgumentCheck(unit, nullptr, 0, report))
        return kArgumentCheckRefused;
    // The lock keeps the node open while it is written to.
    std::lock_guard lock(mutex_);
    HidNode* node = NodeForLocked(unit);
    return node == nullptr ? 0 : node->Write(report);
}

int32_t HidapiBridge::RequestStatusWrite(const UnitDescriptor& unit, const UnitCallback* callback,
                                         UnitTag tag, std::span<const uint8_t> status,
                                         uint32_t check, uint32_t* requestId) {
    if (check != ArgumentCheck(unit, callback, TagValue(tag), status))
        return kArgumentCheckRefused;
    std::lock_guard lock(mutex_);
    if (requestId)
        *requestId = nextRequestId_++;
    HidNode* node = NodeForLocked(unit);
    return node == nullptr ? 0 : node->Write(status);
}

bool HidapiBridge::KeyboardPresentButNotAccessible() const {
    std::lock_guard lock(mutex_);
    return !inaccessible_.empty();
}

std::optional<TurnPlace> HidapiBridge::KeyboardTurnPlace() const {
    std::string path;
    {
        std::lock_guard lock(mutex_);
        const OpenNode* open = OpenNodeForLocked(kCtrlUnit);
        if (open == nullptr)
            return std::nullopt;
        path = open->path;
    }
    return platform_->TurnPlaceOf(path);
}

} // namespace tavrik
