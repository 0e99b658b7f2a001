#include "emulator/entry_usages.h"

namespace tavrik::emu {

namespace {

std::vector<HidUsage> ModifierUsages(uint8_t mask) {
    std::vector<HidUsage> usages;
    for (uint16_t bit = 0; bit < 8; ++bit) {
        if (mask & (1u << bit))
            usages.push_back(
                {hid_page::kKeyboard, static_cast<uint16_t>(kFirstModifierUsage + bit)});
    }
    return usages;
}

std::vector<HidUsage> SingleUsage(uint16_t page, uint16_t usage) {
    if (usage == 0)
        return {};
    return {{page, usage}};
}

uint16_t Wide(uint8_t low, uint8_t high) {
    return static_cast<uint16_t>(low | (high << 8));
}

} // namespace

std::vector<HidUsage> UsagesOfEntry(uint8_t kind, uint8_t sub, uint8_t arg) {
    switch (kind) {
    case entry_kind::kKeyboard:
        if (sub == entry_sub::kModifiers)
            return ModifierUsages(arg);
        if (sub == entry_sub::kKey)
            return SingleUsage(hid_page::kKeyboard, arg);
        return {};
    case entry_kind::kConsumer:
        return SingleUsage(hid_page::kConsumer, Wide(sub, arg));
    case entry_kind::kGenericDesktop:
        return SingleUsage(hid_page::kGenericDesktop, Wide(sub, arg));
    case entry_kind::kKeyboardFunction:
        if (sub == entry_sub::kFunctionKey)
            return {{hid_page::kFunctionKey, arg}};
        return {};
    default:
        return {};
    }
}

} // namespace tavrik::emu
