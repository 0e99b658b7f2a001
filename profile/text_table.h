#pragma once
// The texts of the live profile: one slot per key function entry (all four layers) for the
// program path of a LaunchProgram entry or the text of a TextBlock entry, and the text total,
// which is what the string block of a saved file is sized by. Slot and total stay in step by
// construction.

#include "profile/profile_header.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavrik {

class TextTable {
public:
    static constexpr size_t kSlots = kProfileEntryCount;

    // Replaces the slot's text. Texts are NUL-terminated on file, so the text ends at its
    // first NUL.
    void Set(size_t slot, std::u16string_view text);
    void Release(size_t slot);
    void ReleaseAll();

    // Nothing when the slot holds no text (an empty text is a text of 2 bytes).
    std::optional<std::u16string_view> Text(size_t slot) const;
    // Bytes of the slot's text with its terminator; 0 when the slot holds no text.
    uint64_t LengthBytes(size_t slot) const;
    // The sum of every slot's length.
    uint64_t Total() const { return total_; }

    bool operator==(const TextTable&) const = default;

private:
    std::array<std::optional<std::u16string>, kSlots> slots_;
    uint64_t total_ = 0;
};

} // namespace tavrik
