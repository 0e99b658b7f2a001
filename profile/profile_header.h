#pragma once
// The 32-byte header that opens every profile record and every profile file (".tvk"), and the
// sizes the header's length fields are computed from.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace tavrik {

inline constexpr size_t kProfileHeaderSize = 32;
inline constexpr size_t kProfileRecordSize = 32'832;
inline constexpr size_t kProfileEntryCount = 2048;

inline constexpr uint16_t kProfileMagic = 0x4446;
inline constexpr uint16_t kProfileVersion = 3;
inline constexpr uint16_t kProfileSubVersion = 1;

// Byte offsets inside the header.
namespace header {
inline constexpr size_t kMagic = 0;
inline constexpr size_t kHeaderSize = 2;
inline constexpr size_t kVersion = 4;
inline constexpr size_t kSubVersion = 6;
inline constexpr size_t kTotalLength = 8;
inline constexpr size_t kEntryCount = 12;
inline constexpr size_t kMacroCount = 14;
inline constexpr size_t kTextBytes = 16;
inline constexpr size_t kReserved20 = 20;
inline constexpr size_t kReserved24 = 24;
inline constexpr size_t kReserved28 = 28;
inline constexpr size_t kFlag = 30;
inline constexpr size_t kChecksum = 31;
} // namespace header

using ProfileHeaderBytes = std::array<uint8_t, kProfileHeaderSize>;

struct ProfileHeader {
    uint16_t magic = 0;
    uint16_t headerSize = 0;
    uint16_t version = 0;
    uint16_t subVersion = 0;
    uint32_t totalLength = 0;
    uint16_t entryCount = 0;
    uint16_t macroCount = 0;
    uint32_t textBytes = 0;
    uint32_t reserved20 = 0;
    uint32_t reserved24 = 0;
    uint16_t reserved28 = 0;
    uint8_t flag = 0;
    uint8_t checksum = 0;

    bool operator==(const ProfileHeader&) const = default;
};

// The length a profile file with these contents has: record, macro records, string block.
// Computed in 64 bits so that no choice of fields can wrap around to a plausible value.
uint64_t ProfileTotalLength(uint64_t macroCount, uint64_t textBytes);

// 8-bit sum of bytes 0..30.
uint8_t ProfileHeaderChecksum(std::span<const uint8_t, kProfileHeaderSize> bytes);

// Every field as this program writes it, the checksum last. Every writer passes flag 0.
ProfileHeader BuildProfileHeader(uint16_t macroCount, uint32_t textBytes, uint8_t flag);

ProfileHeaderBytes SerialiseProfileHeader(const ProfileHeader& header);
ProfileHeader ParseProfileHeader(std::span<const uint8_t, kProfileHeaderSize> bytes);

// The import checks, in their fixed order; true when the header is acceptable. Only the header
// is examined: the file's real length is not compared with totalLength.
bool IsAcceptableProfileHeader(std::span<const uint8_t, kProfileHeaderSize> bytes);

} // namespace tavrik
