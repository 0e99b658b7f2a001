#pragma once
// The string block of a profile file and the text table of the live profile. The block holds
// the texts of LaunchProgram and TextBlock entries, NUL-terminated UTF-16 little-endian, in
// ascending entry number without gaps; each such entry's value is its text's byte offset.

#include "profile/profile_record.h"
#include "profile/text_table.h"

#include <cstdint>
#include <span>
#include <vector>

namespace tavrik {

bool CarriesText(const KeyFunctionEntry& entry);

// A block of texts.Total() bytes. Each entry that carries a text and has one in its slot gets
// its text packed at the running offset, and that offset as its value. A slot whose entry
// carries no text is not packed, yet its length still counts in the total: the block then ends
// with zero bytes that no entry refers to.
std::vector<uint8_t> PackTexts(ProfileRecord& record, const TextTable& texts);

// Fills the slots of the entries that carry a text from the block. Every read stays inside the
// block: an offset outside it gives an empty text, a string without a terminator ends where the
// block ends. Bit 0 of the offset is ignored.
void UnpackTexts(const ProfileRecord& record, std::span<const uint8_t> block, TextTable& texts);

} // namespace tavrik
