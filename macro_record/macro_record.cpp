#include "macro_record/macro_record.h"

#include "device/byte_order.h"

#include <algorithm>

namespace tavrik {

namespace {

namespace layout = macro_record_layout;
namespace action_layout = macro_action_layout;

std::u16string ReadName(MacroRecordBytes bytes) {
    std::u16string name;
    for (size_t i = 0; i < kMaxMacroNameLength; ++i) {
        const char16_t unit = ReadU16(bytes, layout::kName + 2 * i);
        if (unit == 0) {
            break;
        }
        name.push_back(unit);
    }
    return name;
}

MacroAction ReadAction(std::span<const uint8_t> bytes) {
    return MacroAction{
        .delayMs = ReadU32(bytes, action_layout::kDelay),
        .key = ReadU16(bytes, action_layout::kKey),
        .direction = DirectionFromStored(ReadU16(bytes, action_layout::kDirection)),
    };
}

void WriteAction(const MacroAction& action, std::span<uint8_t> bytes) {
    WriteU32(bytes, action_layout::kDelay, action.delayMs);
    WriteU16(bytes, action_layout::kKey, action.key);
    WriteU16(bytes, action_layout::kDirection, static_cast<uint16_t>(action.direction));
}

} // namespace

std::u16string_view StoredMacroName(const MacroRecord& record) {
    std::u16string_view name = record.name;
    name = name.substr(0, std::min(name.find(u'\0'), kMaxMacroNameLength));
    return name;
}

std::span<const MacroAction> StoredMacroActions(const MacroRecord& record) {
    return std::span(record.actions).first(std::min(record.actions.size(), kMaxMacroActions));
}

KeyDirection DirectionFromStored(uint16_t value) {
    return value == static_cast<uint16_t>(KeyDirection::Release) ? KeyDirection::Release
                                                                 : KeyDirection::Press;
}

std::u16string DefaultMacroName(unsigned number) {
    std::u16string name = u"宏";
    for (const char digit : std::to_string(number)) {
        name.push_back(static_cast<char16_t>(digit));
    }
    return name;
}

MacroRecord ReadMacroRecord(MacroRecordBytes bytes) {
    MacroRecord record;
    record.name = ReadName(bytes);
    record.loopCount = bytes[layout::kLoopCount];
    record.reserved501 = bytes[layout::kReserved501];
    record.isNew = ReadU16(bytes, layout::kNewFlag) != 0;
    record.reserved504 = ReadU16(bytes, layout::kReserved504);
    record.id = ReadU16(bytes, layout::kId);
    record.reserved510 = ReadU16(bytes, layout::kReserved510);
    const size_t count = std::min<size_t>(ReadU16(bytes, layout::kActionCount), kMaxMacroActions);
    record.actions.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const size_t offset = layout::kActions + i * action_layout::kSize;
        record.actions.push_back(ReadAction(bytes.subspan(offset, action_layout::kSize)));
    }
    return record;
}

void WriteMacroRecord(const MacroRecord& record, std::span<uint8_t, layout::kSize> bytes) {
    std::ranges::fill(bytes, uint8_t{0});
    const std::u16string_view name = StoredMacroName(record);
    for (size_t i = 0; i < name.size(); ++i) {
        WriteU16(bytes, layout::kName + 2 * i, name[i]);
    }
    bytes[layout::kLoopCount] = record.loopCount;
    bytes[layout::kReserved501] = record.reserved501;
    WriteU16(bytes, layout::kNewFlag, record.isNew ? 1 : 0);
    WriteU16(bytes, layout::kReserved504, record.reserved504);
    WriteU16(bytes, layout::kId, record.id);
    const std::span<const MacroAction> actions = StoredMacroActions(record);
    WriteU16(bytes, layout::kActionCount, static_cast<uint16_t>(actions.size()));
    WriteU16(bytes, layout::kReserved510, record.reserved510);
    for (size_t i = 0; i < actions.size(); ++i) {
        const size_t offset = layout::kActions + i * action_layout::kSize;
        WriteAction(actions[i], bytes.subspan(offset, action_layout::kSize));
    }
}

std::vector<MacroRecord> ReadMacroArray(std::span<const uint8_t> bytes, size_t declaredCount) {
    const size_t count = std::min({declaredCount, kMaxMacros, bytes.size() / layout::kSize});
    std::vector<MacroRecord> records;
    records.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        records.push_back(ReadMacroRecord(bytes.subspan(i * layout::kSize).first<layout::kSize>()));
    }
    return records;
}

std::vector<uint8_t> WriteMacroArray(std::span<const MacroRecord> records) {
    std::vector<uint8_t> bytes(records.size() * layout::kSize);
    for (size_t i = 0; i < records.size(); ++i) {
        WriteMacroRecord(records[i],
                         std::span(bytes).subspan(i * layout::kSize).first<layout::kSize>());
    }
    return bytes;
}

} // namespace tavrik
