#include "profile/text_table.h"

namespace tavrik {

void TextTable::Set(size_t slot, std::u16string_view text) {
    Release(slot);
    slots_.at(slot).emplace(text.substr(0, text.find(u'\0')));
    total_ += LengthBytes(slot);
}

void TextTable::Release(size_t slot) {
    total_ -= LengthBytes(slot);
    slots_.at(slot).reset();
}

void TextTable::ReleaseAll() {
    for (auto& slot : slots_)
        slot.reset();
    total_ = 0;
}

std::optional<std::u16string_view> TextTable::Text(size_t slot) const {
    const auto& text = slots_.at(slot);
    if (!text)
        return std::nullopt;
    return std::u16string_view(*text);
}

uint64_t TextTable::LengthBytes(size_t slot) const {
    const auto& text = slots_.at(slot);
    return text ? (text->size() + 1) * sizeof(char16_t) : 0;
}

} // namespace tavrik
