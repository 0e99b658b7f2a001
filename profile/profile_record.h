#pragma once
// The profile record: the fixed 32,832-byte part of the live profile and of every profile file.
// Header, identity block, then 4 layers x 512 key function entries (entry number =
// layer x 512 + slot; layer n is hardware profile n, layer 3 is only carried).

#include "assign/key_function_entry.h"
#include "profile/profile_header.h"

#include <array>
#include <cstdint>
#include <span>

namespace tavrik {

// Byte offsets inside the record.
namespace record {
inline constexpr size_t kHeader = 0;
inline constexpr size_t kIdentity = kProfileHeaderSize;
inline constexpr size_t kIdentitySize = 32;
inline constexpr size_t kEntries = kIdentity + kIdentitySize;
inline constexpr size_t kEntrySize = key_function_entry_layout::kSize;
} // namespace record

static_assert(kLayerCount * kLayerSlots == kProfileEntryCount);
static_assert(record::kEntries + kProfileEntryCount * record::kEntrySize == kProfileRecordSize);

// Written whenever a record is created and never examined afterwards; carried as read.
using IdentityBlock = std::array<uint8_t, record::kIdentitySize>;
inline constexpr IdentityBlock kIdentityBlock{
    0x4B, 0x48, 0x20, 0x00, // 2,115,659
    0x20, 0x80, 0x00, 0x00, // 32,800
    0x04, 0x00, 0x00, 0x02, // 33,554,436
    0x00, 0x00, 0x00, 0x00, //
    0xB4, 0x04,             // the keyboard's USB vendor id
    0x09, 0x20,             // its product id
    0x4F, 0x1C, 0x0E, 0x00, // 924,751
    0x00, 0x00, 0x00, 0x00, //
    0x00, 0x00, 0x00, 0x00,
};

struct ProfileRecord {
    ProfileHeader header;
    IdentityBlock identity{};
    KeyFunctionLayers layers{};

    KeyFunctionEntry& Entry(size_t number) {
        return layers[number / kLayerSlots][number % kLayerSlots];
    }
    const KeyFunctionEntry& Entry(size_t number) const {
        return layers[number / kLayerSlots][number % kLayerSlots];
    }
    bool operator==(const ProfileRecord&) const = default;
};

// A record for a keyboard nothing is known of: default header and identity, every entry
// cleared, and in layer 0 only the macro-key slots carrying their codes.
ProfileRecord DefaultProfileRecord();

using ProfileRecordBytes = std::span<const uint8_t, kProfileRecordSize>;
ProfileRecord ParseProfileRecord(ProfileRecordBytes bytes);
void SerialiseProfileRecord(const ProfileRecord& source,
                            std::span<uint8_t, kProfileRecordSize> bytes);

} // namespace tavrik
