#include "session/profile_mirror.h"

#include "assign/key_map_conversion.h"
#include "macro/macro_image.h"

namespace tavrik {
namespace {

// The keyboard may hold a macro without its name (no room for names); what it plays is the same.
bool SameAsKeyboardMacro(const MacroRecord& profile, const MacroRecord& keyboard) {
    return profile.loopCount == keyboard.loopCount && profile.actions == keyboard.actions &&
           (keyboard.name.empty() || profile.name == keyboard.name);
}

} // namespace

bool MirrorsKeyboard(const ProfileRecord& record, std::span<const MacroRecord> macros,
                     const KeyboardContents& keyboard, const KeyMapBlock& defaultLayout) {
    for (size_t layer = 0; layer < kHardwareProfileCount; ++layer) {
        if (BuildKeyMap(defaultLayout, record.layers[layer], macros) != keyboard.keyMaps[layer])
            return false;
    }
    const std::vector<MacroRecord> held = MacroImageToRecords(keyboard.macroImage);
    if (held.size() != macros.size())
        return false;
    for (size_t i = 0; i < held.size(); ++i) {
        if (!SameAsKeyboardMacro(macros[i], held[i]))
            return false;
    }
    return true;
}

} // namespace tavrik
