#include "profile/profile_header.h"

#include "device/byte_order.h"
#include "macro_record/macro_record.h"

namespace tavrik {

uint64_t ProfileTotalLength(uint64_t macroCount, uint64_t textBytes) {
    return macroCount * macro_record_layout::kSize + textBytes + kProfileRecordSize;
}

uint8_t ProfileHeaderChecksum(std::span<const uint8_t, kProfileHeaderSize> bytes) {
    unsigned sum = 0;
    for (size_t i = 0; i < header::kChecksum; ++i)
        sum += bytes[i];
    return static_cast<uint8_t>(sum);
}

ProfileHeader BuildProfileHeader(uint16_t macroCount, uint32_t textBytes, uint8_t flag) {
    ProfileHeader built;
    built.magic = kProfileMagic;
    built.headerSize = kProfileHeaderSize;
    built.version = kProfileVersion;
    built.subVersion = kProfileSubVersion;
    built.totalLength = static_cast<uint32_t>(ProfileTotalLength(macroCount, textBytes));
    built.entryCount = kProfileEntryCount;
    built.macroCount = macroCount;
    built.textBytes = textBytes;
    built.flag = flag;
    built.checksum = ProfileHeaderChecksum(SerialiseProfileHeader(built));
    return built;
}

ProfileHeaderBytes SerialiseProfileHeader(const ProfileHeader& source) {
    ProfileHeaderBytes bytes{};
    WriteU16(bytes, header::kMagic, source.magic);
    WriteU16(bytes, header::kHeaderSize, source.headerSize);
    WriteU16(bytes, header::kVersion, source.version);
    WriteU16(bytes, header::kSubVersion, source.subVersion);
    WriteU32(bytes, header::kTotalLength, source.totalLength);
    WriteU16(bytes, header::kEntryCount, source.entryCount);
    WriteU16(bytes, header::kMacroCount, source.macroCount);
    WriteU32(bytes, header::kTextBytes, source.textBytes);
    WriteU32(bytes, header::kReserved20, source.reserved20);
    WriteU32(bytes, header::kReserved24, source.reserved24);
    WriteU16(bytes, header::kReserved28, source.reserved28);
    bytes[header::kFlag] = source.flag;
    bytes[header::kChecksum] = source.checksum;
    return bytes;
}

ProfileHeader ParseProfileHeader(std::span<const uint8_t, kProfileHeaderSize> bytes) {
    ProfileHeader parsed;
    parsed.magic = ReadU16(bytes, header::kMagic);
    parsed.headerSize = ReadU16(bytes, header::kHeaderSize);
    parsed.version = ReadU16(bytes, header::kVersion);
    parsed.subVersion = ReadU16(bytes, header::kSubVersion);
    parsed.totalLength = ReadU32(bytes, header::kTotalLength);
    parsed.entryCount = ReadU16(bytes, header::kEntryCount);
    parsed.macroCount = ReadU16(bytes, header::kMacroCount);
    parsed.textBytes = ReadU32(bytes, header::kTextBytes);
    parsed.reserved20 = ReadU32(bytes, header::kReserved20);
    parsed.reserved24 = ReadU32(bytes, header::kReserved24);
    parsed.reserved28 = ReadU16(bytes, header::kReserved28);
    parsed.flag = bytes[header::kFlag];
    parsed.checksum = bytes[header::kChecksum];
    return parsed;
}

bool IsAcceptableProfileHeader(std::span<const uint8_t, kProfileHeaderSize> bytes) {
    const ProfileHeader h = ParseProfileHeader(bytes);
    return h.magic == kProfileMagic && h.headerSize == kProfileHeaderSize &&
           h.version == kProfileVersion && h.subVersion == kProfileSubVersion &&
           h.totalLength >= kProfileRecordSize && h.entryCount == kProfileEntryCount &&
           h.macroCount <= kMaxMacros && h.flag <= 1 &&
           h.totalLength == ProfileTotalLength(h.macroCount, h.textBytes) &&
           h.checksum == ProfileHeaderChecksum(bytes);
}

} // namespace tavrik
