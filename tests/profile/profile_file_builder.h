#pragma once
// Profile file bytes for tests: the default file, with header fields changed and the checksum
// recomputed or left alone.

#include "device/byte_order.h"
#include "profile/profile_header.h"
#include "profile/profile_record.h"

#include <cstdint>
#include <span>
#include <vector>

namespace tavrik::test {

inline std::vector<uint8_t> DefaultProfileBytes() {
    std::vector<uint8_t> bytes(kProfileRecordSize);
    SerialiseProfileRecord(DefaultProfileRecord(), std::span(bytes).first<kProfileRecordSize>());
    return bytes;
}

inline void Restamp(std::vector<uint8_t>& bytes) {
    bytes[header::kChecksum] = ProfileHeaderChecksum(std::span(bytes).first<kProfileHeaderSize>());
}

// Sets the counts and a consistent total length, then the checksum.
inline void SetCounts(std::vector<uint8_t>& bytes, uint16_t macroCount, uint32_t textBytes) {
    WriteU16(bytes, header::kMacroCount, macroCount);
    WriteU32(bytes, header::kTextBytes, textBytes);
    WriteU32(bytes, header::kTotalLength,
             static_cast<uint32_t>(ProfileTotalLength(macroCount, textBytes)));
    Restamp(bytes);
}

inline size_t EntryOffset(size_t number) {
    return record::kEntries + number * record::kEntrySize;
}

inline void SetEntry(std::vector<uint8_t>& bytes, size_t number, uint16_t type, uint32_t value) {
    WriteU16(bytes, EntryOffset(number), type);
    WriteU32(bytes, EntryOffset(number) + 4, value);
}

inline void AppendUtf16(std::vector<uint8_t>& bytes, std::u16string_view text) {
    for (char16_t unit : text) {
        bytes.push_back(static_cast<uint8_t>(unit));
        bytes.push_back(static_cast<uint8_t>(unit >> 8));
    }
}

} // namespace tavrik::test
