#include "names/profile_text_words.h"

#include "keys/text.h"
#include "names/key_names.h"
#include "names/quoted_text.h"

namespace tavrik {

namespace {

inline constexpr std::string_view kSlotPrefix = "slot:";

// The slot a key table row stands in, when its name leads back to it.
std::optional<std::string> KeySlotName(size_t slot) {
    if (slot >= kFirstMacroKeySlot)
        return std::nullopt;
    const ScanCode scan = ScanFromKeyIndex(static_cast<KeyIndex>(slot));
    const std::string token = KeyToken(scan);
    if (SlotFromKeyName(token) != slot)
        return std::nullopt;
    return token;
}

std::string MacroKeyWord(size_t slot) {
    const size_t index = slot - kFirstMacroKeySlot;
    return "G" + std::to_string(index % kMacroKeysPerBank + 1) +
           (index < kMacroKeysPerBank ? "/A" : "/B");
}

} // namespace

std::string SlotToken(size_t slot) {
    if (const std::optional<std::string> name = KeySlotName(slot))
        return QuoteText(Utf16From(*name));
    if (IsMacroKeySlot(slot))
        return MacroKeyWord(slot);
    return std::string(kSlotPrefix) + std::to_string(slot);
}

std::optional<size_t> SlotFromWord(std::string_view word) {
    if (word.starts_with(kSlotPrefix)) {
        const std::optional<unsigned> slot =
            ParseDecimal(word.substr(kSlotPrefix.size()), kLayerSlots - 1);
        return slot ? std::optional<size_t>(*slot) : std::nullopt;
    }
    for (size_t slot = kFirstMacroKeySlot; slot < kFirstMacroKeySlot + kMacroKeySlotCount; ++slot)
        if (word == MacroKeyWord(slot))
            return slot;
    return std::nullopt;
}

std::optional<size_t> SlotFromKeyName(std::string_view name) {
    const std::optional<ScanCode> scan = ScanFromKeyToken(name);
    if (!scan || *scan == 0)
        return std::nullopt;
    return KeyIndexFromScan(*scan);
}

} // namespace tavrik
