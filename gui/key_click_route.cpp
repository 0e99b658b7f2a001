#include "gui/key_click_route.h"

#include "assign/key_description.h"
#include "events/g_key_indicator_state.h"
#include "keys/key_table.h"

#include <algorithm>
#include <iterator>

namespace tavrik {
namespace {

// D1-D6 and the hidden key piece 1057 stand for no key: they only ever paint.
constexpr bool IsKeylessButton(int id) {
    return (id >= 1016 && id <= 1021) || id == 1057;
}

int GKeySlot(int gIndex, bool bankB) {
    return (bankB ? kGKeyBankBSlot : kGKeyBankASlot) + gIndex;
}

} // namespace

KeyClickRoute RouteKeyClick(int buttonId, bool lightingEditMode, bool bankB) {
    const auto gKey = std::ranges::find(kMacroKeyButtons, buttonId);
    if (gKey != kMacroKeyButtons.end()) {
        const int gIndex = static_cast<int>(std::distance(kMacroKeyButtons.begin(), gKey));
        return {KeyClickAction::Assign, GKeySlot(gIndex, bankB),
                buttonId == kMacroKeyButtons.back()};
    }
    if (buttonId == kMacroButtonId)
        return {KeyClickAction::Assign, GKeySlot(kGKeyCount - 1, bankB), true};
    const ScanCode scan = ScanFromButton(buttonId);
    const bool keyButton = scan != 0;
    if (!keyButton && buttonId != kFnButtonId && !IsKeylessButton(buttonId))
        return {};
    if (lightingEditMode)
        return {KeyClickAction::Paint};
    if (keyButton)
        return {KeyClickAction::Assign, KeyIndexFromScan(scan)};
    return {};
}

} // namespace tavrik
