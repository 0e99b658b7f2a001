#pragma once
// The keyboard's macro memory: every macro as a block of 4-byte action words, behind a 16-byte
// header and a table of block offsets. Names go in only when the memory has room for them.

#include "device/macro_memory.h"
#include "macro_record/macro_record.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tavrik {

namespace macro_image_layout {
inline constexpr size_t kMagic = 0;
inline constexpr size_t kLength = 2;
inline constexpr size_t kCount = 4;
inline constexpr size_t kNamesIncluded = 6;
inline constexpr size_t kHeaderSize = 16; // bytes 8..15 reserved, zero
inline constexpr size_t kOffsetTable = 16;
inline constexpr size_t kOffsetSize = 2;
} // namespace macro_image_layout

namespace macro_block_layout {
inline constexpr size_t kActionCount = 0;
inline constexpr size_t kLoopCount = 2;
inline constexpr size_t kNameLength = 3;
inline constexpr size_t kActions = 4;
inline constexpr size_t kActionWordSize = 4;
} // namespace macro_block_layout

// Action word: bits 0..11 delay in 10 ms units, bits 12..14 key map kind, bit 15 press; then the
// key map entry's sub and arg bytes.
namespace action_word {
inline constexpr uint16_t kDelayMask = 0x0FFF;
inline constexpr unsigned kKindShift = 12;
inline constexpr uint16_t kKindMask = 0x7;
inline constexpr uint16_t kPressBit = 0x8000;
} // namespace action_word

// The longest pause an action word holds; longer pauses are stored as this.
inline constexpr uint32_t kMaxStoredDelayMs = action_word::kDelayMask * kDelayStepMs;

struct MacroImageLengths {
    size_t withNames = 0;
    size_t withoutNames = 0;
};

MacroImageLengths MacroImageSizes(std::span<const MacroRecord> macros);

using ActionWordBytes = std::array<uint8_t, macro_block_layout::kActionWordSize>;
ActionWordBytes EncodeActionWord(const MacroAction& action);
MacroAction DecodeActionWord(std::span<const uint8_t, macro_block_layout::kActionWordSize> word);

// The image of the macros in array order; nothing when it would not fit the 16-bit length and
// offset fields.
std::optional<std::vector<uint8_t>> BuildMacroImage(std::span<const MacroRecord> macros,
                                                    bool namesIncluded);

// The macros of an image read from the keyboard, ids = position + 1. Every offset, count and
// length in it is checked against the bytes actually read (and the length the header claims):
// the result is the leading macros whose blocks lie wholly inside, at most 100, each with at
// most 2000 actions and a name of at most 249 units.
std::vector<MacroRecord> MacroImageToRecords(std::span<const uint8_t> image);

// Whether a macro read from the image at `position` came without a name of its own: the image
// stores none for it (left out for lack of room, or an empty name), so it carries the name given
// to such macros, or an empty one. The computer's copy of the macro knows its real name.
bool ReadWithoutName(const MacroRecord& read, size_t position);

} // namespace tavrik
