#include "macro/macro_image.h"

#include "assign/key_map_entry.h"
#include "device/byte_order.h"

#include <algorithm>
#include <limits>

namespace tavrik {

namespace {

namespace image_layout = macro_image_layout;
namespace block_layout = macro_block_layout;

size_t BlockSize(const MacroRecord& macro, bool namesIncluded) {
    const size_t nameBytes = namesIncluded ? 2 * StoredMacroName(macro).size() : 0;
    return block_layout::kActions +
           block_layout::kActionWordSize * StoredMacroActions(macro).size() + nameBytes;
}

size_t ImageSize(std::span<const MacroRecord> macros, bool namesIncluded) {
    size_t size = image_layout::kHeaderSize + image_layout::kOffsetSize * macros.size();
    for (const MacroRecord& macro : macros) {
        size += BlockSize(macro, namesIncluded);
    }
    return size;
}

// Writes one block at offset and returns its size.
size_t WriteBlock(const MacroRecord& macro, bool namesIncluded, std::span<uint8_t> block) {
    const std::span<const MacroAction> actions = StoredMacroActions(macro);
    const std::u16string_view name = namesIncluded ? StoredMacroName(macro) : std::u16string_view{};
    WriteU16(block, block_layout::kActionCount, static_cast<uint16_t>(actions.size()));
    block[block_layout::kLoopCount] = macro.loopCount;
    block[block_layout::kNameLength] = static_cast<uint8_t>(name.size());
    size_t offset = block_layout::kActions;
    for (const MacroAction& action : actions) {
        const ActionWordBytes word = EncodeActionWord(action);
        std::ranges::copy(word, block.begin() + static_cast<std::ptrdiff_t>(offset));
        offset += word.size();
    }
    for (const char16_t unit : name) {
        WriteU16(block, offset, unit);
        offset += 2;
    }
    return offset;
}

// One macro read back, or nothing when its block does not lie wholly inside the image.
std::optional<MacroRecord> ReadBlock(std::span<const uint8_t> image, size_t blockOffset,
                                     size_t position) {
    if (blockOffset + block_layout::kActions > image.size()) {
        return std::nullopt;
    }
    const std::span<const uint8_t> block = image.subspan(blockOffset);
    const size_t actionCount = ReadU16(block, block_layout::kActionCount);
    const size_t nameLength = block[block_layout::kNameLength];
    const size_t nameOffset = block_layout::kActions + block_layout::kActionWordSize * actionCount;
    if (nameOffset + 2 * nameLength > block.size()) {
        return std::nullopt;
    }
    MacroRecord record;
    record.id = static_cast<uint16_t>(position + 1);
    record.loopCount = block[block_layout::kLoopCount];
    const size_t kept = std::min(actionCount, kMaxMacroActions);
    record.actions.reserve(kept);
    for (size_t j = 0; j < kept; ++j) {
        const size_t offset = block_layout::kActions + block_layout::kActionWordSize * j;
        record.actions.push_back(
            DecodeActionWord(block.subspan(offset).first<block_layout::kActionWordSize>()));
    }
    for (size_t j = 0; j < nameLength; ++j) {
        record.name.push_back(static_cast<char16_t>(ReadU16(block, nameOffset + 2 * j)));
    }
    record.name = std::u16string(StoredMacroName(record));
    if (nameLength == 0) {
        record.name = DefaultMacroName(static_cast<unsigned>(position + 1));
    }
    return record;
}

} // namespace

bool ReadWithoutName(const MacroRecord& read, size_t position) {
    return read.name.empty() || read.name == DefaultMacroName(static_cast<unsigned>(position + 1));
}

MacroImageLengths MacroImageSizes(std::span<const MacroRecord> macros) {
    return MacroImageLengths{.withNames = ImageSize(macros, true),
                             .withoutNames = ImageSize(macros, false)};
}

ActionWordBytes EncodeActionWord(const MacroAction& action) {
    const uint32_t units = std::min(action.delayMs, kMaxStoredDelayMs) / kDelayStepMs;
    const KeyMapEntry key = KeyMapEntryFromScan(action.key);
    uint16_t word = static_cast<uint16_t>(units & action_word::kDelayMask);
    word |= static_cast<uint16_t>((key.kind & action_word::kKindMask) << action_word::kKindShift);
    if (action.direction != KeyDirection::Release) {
        word |= action_word::kPressBit;
    }
    return {static_cast<uint8_t>(word & 0xFF), static_cast<uint8_t>(word >> 8), key.sub, key.arg};
}

MacroAction DecodeActionWord(std::span<const uint8_t, block_layout::kActionWordSize> word) {
    const uint16_t bits = ReadU16(word, 0);
    const KeyMapEntry key{
        .kind = static_cast<uint8_t>((bits >> action_word::kKindShift) & action_word::kKindMask),
        .sub = word[2],
        .arg = word[3],
    };
    return MacroAction{
        .delayMs = (bits & action_word::kDelayMask) * kDelayStepMs,
        .key = ScanFromKeyMapEntry(key),
        .direction =
            (bits & action_word::kPressBit) != 0 ? KeyDirection::Press : KeyDirection::Release,
    };
}

std::optional<std::vector<uint8_t>> BuildMacroImage(std::span<const MacroRecord> macros,
                                                    bool namesIncluded) {
    const size_t length = ImageSize(macros, namesIncluded);
    if (length > std::numeric_limits<uint16_t>::max()) {
        return std::nullopt;
    }
    std::vector<uint8_t> image(length);
    WriteU16(image, image_layout::kMagic, kMacroImageMagic);
    WriteU16(image, image_layout::kLength, static_cast<uint16_t>(length));
    WriteU16(image, image_layout::kCount, static_cast<uint16_t>(macros.size()));
    WriteU16(image, image_layout::kNamesIncluded, namesIncluded ? 1 : 0);
    size_t offset = image_layout::kOffsetTable + image_layout::kOffsetSize * macros.size();
    for (size_t i = 0; i < macros.size(); ++i) {
        WriteU16(image, image_layout::kOffsetTable + image_layout::kOffsetSize * i,
                 static_cast<uint16_t>(offset));
        offset += WriteBlock(macros[i], namesIncluded, std::span(image).subspan(offset));
    }
    return image;
}

std::vector<MacroRecord> MacroImageToRecords(std::span<const uint8_t> image) {
    if (image.size() < image_layout::kHeaderSize ||
        ReadU16(image, image_layout::kMagic) != kMacroImageMagic) {
        return {};
    }
    const size_t declaredLength = ReadU16(image, image_layout::kLength);
    const std::span<const uint8_t> bounded = image.first(std::min(image.size(), declaredLength));
    const size_t count = std::min<size_t>(ReadU16(image, image_layout::kCount), kMaxMacros);
    std::vector<MacroRecord> records;
    for (size_t i = 0; i < count; ++i) {
        const size_t entry = image_layout::kOffsetTable + image_layout::kOffsetSize * i;
        if (entry + image_layout::kOffsetSize > bounded.size()) {
            break;
        }
        std::optional<MacroRecord> record = ReadBlock(bounded, ReadU16(bounded, entry), i);
        if (!record) {
            break;
        }
        records.push_back(std::move(*record));
    }
    return records;
}

} // namespace tavrik
