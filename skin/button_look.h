#pragma once
// Which of its pictures an image button shows, from its state. Disabled wins; check-image mode
// ignores hover and pressed; then pressed, hover and lit, in that order.

namespace tavrik {

enum class ButtonLook { Normal, Hover, Pressed, Disabled, Lit, Checked, Unchecked };

struct ButtonState {
    bool enabled = true;
    bool checkMode = false;
    bool checked = false;
    bool pressed = false;
    bool hover = false;
    bool lit = false;
};

constexpr ButtonLook ChooseButtonLook(const ButtonState& state) {
    if (!state.enabled) {
        return ButtonLook::Disabled;
    }
    if (state.checkMode) {
        return state.checked ? ButtonLook::Checked : ButtonLook::Unchecked;
    }
    if (state.pressed) {
        return ButtonLook::Pressed;
    }
    if (state.hover) {
        return ButtonLook::Hover;
    }
    return state.lit ? ButtonLook::Lit : ButtonLook::Normal;
}

} // namespace tavrik
