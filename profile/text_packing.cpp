#include "profile/text_packing.h"

#include "device/byte_order.h"

namespace tavrik {

namespace {

void PutText(std::span<uint8_t> block, size_t offset, std::u16string_view text) {
    for (size_t i = 0; i < text.size(); ++i)
        WriteU16(block, offset + 2 * i, text[i]);
    WriteU16(block, offset + 2 * text.size(), 0);
}

std::u16string TextAt(std::span<const uint8_t> block, size_t offset) {
    std::u16string text;
    for (size_t at = offset; at + 1 < block.size(); at += 2) {
        const char16_t unit = ReadU16(block, at);
        if (unit == 0)
            break;
        text.push_back(unit);
    }
    return text;
}

} // namespace

bool CarriesText(const KeyFunctionEntry& entry) {
    return entry.type == KeyFunctionType::LaunchProgram || entry.type == KeyFunctionType::TextBlock;
}

std::vector<uint8_t> PackTexts(ProfileRecord& record, const TextTable& texts) {
    std::vector<uint8_t> block(texts.Total(), 0);
    size_t offset = 0;
    for (size_t number = 0; number < kProfileEntryCount; ++number) {
        KeyFunctionEntry& entry = record.Entry(number);
        const auto text = texts.Text(number);
        if (!text || !CarriesText(entry))
            continue;
        PutText(block, offset, *text);
        entry.value = static_cast<uint32_t>(offset);
        offset += texts.LengthBytes(number);
    }
    return block;
}

void UnpackTexts(const ProfileRecord& record, std::span<const uint8_t> block, TextTable& texts) {
    for (size_t number = 0; number < kProfileEntryCount; ++number) {
        const KeyFunctionEntry& entry = record.Entry(number);
        if (CarriesText(entry))
            texts.Set(number, TextAt(block, entry.value & ~uint32_t{1}));
    }
}

} // namespace tavrik
