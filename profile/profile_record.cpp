#include "profile/profile_record.h"

#include <algorithm>

namespace tavrik {

namespace {

size_t EntryOffset(size_t number) {
    return record::kEntries + number * record::kEntrySize;
}

} // namespace

ProfileRecord DefaultProfileRecord() {
    ProfileRecord built;
    built.header = BuildProfileHeader(0, 0, 0);
    built.identity = kIdentityBlock;
    built.layers[0] = EmptyLayerWithMacroKeyCodes();
    return built;
}

ProfileRecord ParseProfileRecord(ProfileRecordBytes bytes) {
    ProfileRecord parsed;
    parsed.header = ParseProfileHeader(bytes.subspan<record::kHeader, kProfileHeaderSize>());
    std::ranges::copy(bytes.subspan<record::kIdentity, record::kIdentitySize>(),
                      parsed.identity.begin());
    for (size_t number = 0; number < kProfileEntryCount; ++number) {
        parsed.Entry(number) =
            ReadKeyFunctionEntry(bytes.subspan(EntryOffset(number)).first<record::kEntrySize>());
    }
    return parsed;
}

void SerialiseProfileRecord(const ProfileRecord& source,
                            std::span<uint8_t, kProfileRecordSize> bytes) {
    std::ranges::copy(SerialiseProfileHeader(source.header), bytes.begin() + record::kHeader);
    std::ranges::copy(source.identity, bytes.begin() + record::kIdentity);
    for (size_t number = 0; number < kProfileEntryCount; ++number) {
        WriteKeyFunctionEntry(source.Entry(number),
                              bytes.subspan(EntryOffset(number)).first<record::kEntrySize>());
    }
}

} // namespace tavrik
