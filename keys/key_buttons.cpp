// The main window's buttons: which key each one shows and where that key sits in the keyboard's
// per-key tables.
#include "keys/key_table.h"

#include "keys/key_table_data.h"

#include <algorithm>

namespace tavrik {

namespace {

constexpr int kFirstGKeyButton = 1000; // G1-G5: 1000-1004, positions 1-5
constexpr int kGKeyButtonsWithPosition = 5;
constexpr int kFnButton = 1174;
constexpr KeyPosition kFnPosition = 53;
// G6-G9 (1140-1143) sit in no per-key slot and give position 0 like any unknown id.

constexpr bool ButtonsAreWellFormed() {
    const auto& buttons = key_data::kKeyButtons;
    for (size_t i = 0; i < std::size(buttons); ++i) {
        if (buttons[i].position >= kKeyPositionCount || !IsValidScan(buttons[i].scan) ||
            (i > 0 && buttons[i - 1].controlId >= buttons[i].controlId)) {
            return false;
        }
    }
    return true;
}
static_assert(ButtonsAreWellFormed(), "key buttons: ascending ids, real keys, positions < 160");

const KeyButton* FindKeyButton(int controlId) {
    const std::span<const KeyButton> buttons = KeyButtons();
    const auto found =
        std::lower_bound(buttons.begin(), buttons.end(), controlId,
                         [](const KeyButton& button, int id) { return button.controlId < id; });
    return found != buttons.end() && found->controlId == controlId ? &*found : nullptr;
}

} // namespace

std::span<const KeyButton> KeyButtons() {
    return key_data::kKeyButtons;
}

KeyPosition PositionFromButton(int controlId) {
    if (const KeyButton* button = FindKeyButton(controlId)) {
        return button->position;
    }
    if (controlId >= kFirstGKeyButton && controlId < kFirstGKeyButton + kGKeyButtonsWithPosition) {
        return static_cast<KeyPosition>(controlId - kFirstGKeyButton + 1);
    }
    return controlId == kFnButton ? kFnPosition : 0;
}

ScanCode ScanFromButton(int controlId) {
    const KeyButton* button = FindKeyButton(controlId);
    return button != nullptr ? button->scan : 0;
}

} // namespace tavrik
