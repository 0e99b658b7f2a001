#pragma once
// Where a click on one of the main window's keyboard buttons goes. In the lighting edit mode a
// key button paints its key; otherwise it opens the assignment dialog on the key's slot of the
// active layer. The G keys and the macro button always open the dialog; Fn only ever paints.

namespace tavrik {

enum class KeyClickAction {
    Nothing,
    Paint,  // PaintKey on the button
    Assign, // the assignment dialog on `slot`
};

struct KeyClickRoute {
    KeyClickAction action = KeyClickAction::Nothing;
    int slot = 0;           // key slot of the layer (Assign)
    bool macroOnly = false; // the macro button: the G9 slot with only the macro tab
    bool operator==(const KeyClickRoute&) const = default;
};

inline constexpr int kMacroButtonId = 1007;
inline constexpr int kFnButtonId = 1174;

KeyClickRoute RouteKeyClick(int buttonId, bool lightingEditMode, bool bankB);

} // namespace tavrik
