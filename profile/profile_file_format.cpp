#include "profile/profile_file_format.h"

#include "profile/text_packing.h"

#include <algorithm>
#include <limits>

namespace tavrik {

namespace {

// The part of [offset, offset + length) that the bytes actually hold.
std::span<const uint8_t> PresentPart(std::span<const uint8_t> bytes, uint64_t offset,
                                     uint64_t length) {
    if (offset >= bytes.size())
        return {};
    return bytes.subspan(offset, std::min<uint64_t>(length, bytes.size() - offset));
}

} // namespace

std::optional<std::vector<uint8_t>> SerialiseProfileFile(ProfileRecord& record,
                                                         std::span<const MacroRecord> macros,
                                                         const TextTable& texts) {
    if (macros.size() > std::numeric_limits<uint16_t>::max() ||
        ProfileTotalLength(macros.size(), texts.Total()) > std::numeric_limits<uint32_t>::max())
        return std::nullopt;
    record.header = BuildProfileHeader(static_cast<uint16_t>(macros.size()),
                                       static_cast<uint32_t>(texts.Total()), 0);
    const std::vector<uint8_t> block = PackTexts(record, texts);
    const std::vector<uint8_t> macroBytes = WriteMacroArray(macros);

    std::vector<uint8_t> file(kProfileRecordSize);
    SerialiseProfileRecord(record, std::span(file).first<kProfileRecordSize>());
    file.insert(file.end(), macroBytes.begin(), macroBytes.end());
    file.insert(file.end(), block.begin(), block.end());
    return file;
}

std::unique_ptr<ProfileContents> ParseProfileFile(std::span<const uint8_t> bytes) {
    if (bytes.size() < kProfileRecordSize)
        return nullptr;
    auto contents = std::make_unique<ProfileContents>();
    contents->record = ParseProfileRecord(bytes.first<kProfileRecordSize>());
    const ProfileHeader& header = contents->record.header;

    // The string block starts where the declared macro records end, whether or not they are
    // all present.
    const std::span<const uint8_t> afterRecord = bytes.subspan(kProfileRecordSize);
    const uint64_t macroBytes = uint64_t{header.macroCount} * macro_record_layout::kSize;
    contents->macros = ReadMacroArray(PresentPart(afterRecord, 0, macroBytes), header.macroCount);
    UnpackTexts(contents->record, PresentPart(afterRecord, macroBytes, header.textBytes),
                contents->texts);
    return contents;
}

} // namespace tavrik
