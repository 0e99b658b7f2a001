#include "device/report_descriptor.h"

#include <algorithm>

namespace tavrik {

namespace {

// Item types and the tags this parser needs (HID 1.11, section 6.2.2).
enum class ItemType : uint8_t { Main = 0, Global = 1, Local = 2, Reserved = 3 };

namespace main_tag {
inline constexpr uint8_t kInput = 0x8;
inline constexpr uint8_t kOutput = 0x9;
inline constexpr uint8_t kCollection = 0xA;
inline constexpr uint8_t kFeature = 0xB;
inline constexpr uint8_t kEndCollection = 0xC;
} // namespace main_tag

namespace global_tag {
inline constexpr uint8_t kUsagePage = 0x0;
inline constexpr uint8_t kReportId = 0x8;
inline constexpr uint8_t kPush = 0xA;
inline constexpr uint8_t kPop = 0xB;
} // namespace global_tag

inline constexpr uint8_t kLocalUsage = 0x0;
inline constexpr uint8_t kLongItemPrefix = 0xFE;
inline constexpr size_t kMaxDepth = 32;
inline constexpr size_t kMaxGlobalStack = 32;

struct Item {
    ItemType type = ItemType::Main;
    uint8_t tag = 0;
    uint8_t size = 0;
    uint32_t data = 0;
};

struct GlobalState {
    uint16_t usagePage = 0;
    uint8_t reportId = 0;
};

// Reads the item at `at` and moves `at` past it; false when it runs past the end.
bool NextItem(std::span<const uint8_t> bytes, size_t& at, Item& item) {
    const uint8_t prefix = bytes[at];
    if (prefix == kLongItemPrefix) { // long items carry nothing this parser needs
        if (bytes.size() - at < 3)
            return false;
        const size_t length = 3u + bytes[at + 1];
        if (bytes.size() - at < length)
            return false;
        at += length;
        item = {ItemType::Reserved, 0, 0, 0};
        return true;
    }
    static constexpr uint8_t kSizes[] = {0, 1, 2, 4};
    item.size = kSizes[prefix & 0x3];
    item.type = static_cast<ItemType>((prefix >> 2) & 0x3);
    item.tag = static_cast<uint8_t>(prefix >> 4);
    if (bytes.size() - at - 1 < item.size)
        return false;
    item.data = 0;
    for (uint8_t i = 0; i < item.size; ++i)
        item.data |= static_cast<uint32_t>(bytes[at + 1 + i]) << (8 * i);
    at += 1u + item.size;
    return true;
}

class Parser {
public:
    bool Take(const Item& item) {
        switch (item.type) {
        case ItemType::Main:
            return TakeMain(item);
        case ItemType::Global:
            return TakeGlobal(item);
        case ItemType::Local:
            if (item.tag == kLocalUsage && !usage_)
                usage_ = item;
            return true;
        case ItemType::Reserved:
            return true;
        }
        return true;
    }

    bool Balanced() const { return depth_ == 0; }
    std::vector<TopLevelCollection> Collections() && { return std::move(collections_); }

private:
    bool TakeMain(const Item& item) {
        switch (item.tag) {
        case main_tag::kCollection:
            if (depth_ == kMaxDepth)
                return false;
            if (depth_++ == 0)
                collections_.push_back({UsagePage(), Usage(), {}});
            break;
        case main_tag::kEndCollection:
            if (depth_ == 0)
                return false;
            --depth_;
            break;
        case main_tag::kInput:
        case main_tag::kOutput:
        case main_tag::kFeature:
            NoteReport();
            break;
        default:
            break;
        }
        usage_.reset(); // local items last until the next main item
        return true;
    }

    bool TakeGlobal(const Item& item) {
        switch (item.tag) {
        case global_tag::kUsagePage:
            global_.usagePage = static_cast<uint16_t>(item.data);
            return true;
        case global_tag::kReportId:
            global_.reportId = static_cast<uint8_t>(item.data);
            return true;
        case global_tag::kPush:
            if (stack_.size() == kMaxGlobalStack)
                return false;
            stack_.push_back(global_);
            return true;
        case global_tag::kPop:
            if (stack_.empty())
                return false;
            global_ = stack_.back();
            stack_.pop_back();
            return true;
        default:
            return true;
        }
    }

    // A four-byte usage names its own page in the upper half.
    uint16_t UsagePage() const {
        return usage_ && usage_->size == 4 ? static_cast<uint16_t>(usage_->data >> 16)
                                           : global_.usagePage;
    }
    uint16_t Usage() const { return usage_ ? static_cast<uint16_t>(usage_->data & 0xFFFF) : 0; }

    void NoteReport() {
        if (depth_ == 0 || collections_.empty() || global_.reportId == 0)
            return;
        auto& ids = collections_.back().reportIds;
        if (std::ranges::find(ids, global_.reportId) == ids.end())
            ids.push_back(global_.reportId);
    }

    GlobalState global_;
    std::vector<GlobalState> stack_;
    std::optional<Item> usage_;
    size_t depth_ = 0;
    std::vector<TopLevelCollection> collections_;
};

} // namespace

std::optional<std::vector<TopLevelCollection>>
ParseReportDescriptor(std::span<const uint8_t> descriptor) {
    Parser parser;
    for (size_t at = 0; at < descriptor.size();) {
        Item item;
        if (!NextItem(descriptor, at, item) || !parser.Take(item))
            return std::nullopt;
    }
    if (!parser.Balanced())
        return std::nullopt;
    return std::move(parser).Collections();
}

} // namespace tavrik
