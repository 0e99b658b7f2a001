#include "session/profile_mirror.h"

#include "assign/key_map_conversion.h"
#include "macro/macro_image.h"

namespace tavrik {
namespace {

// The keyboard may hold a macro without its name (no room for names, or an empty one); what it
// plays is the same.
bool SameAsKeyboardMacro(const MacroRecord& profile, const MacroRecord& keyboard, size_t position) {
    return profile.loopCount == keyboard.loopCount && profile.actions == keyboard.actions &&
           (ReadWithoutName(keyboard, position) || profile.name == keyboard.name);
}

} // namespace

std::vector<UnmirroredEntry> EntriesNotMirrored(const ProfileRecord& record,
                                                std::span<const MacroRecord> macros,
                                                const KeyboardContents& keyboard,
                                                const KeyMapBlock& defaultLayout) {
    std::vector<UnmirroredEntry> entries;
    for (size_t layer = 0; layer < kHardwareProfileCount; ++layer) {
        const KeyMapBlock built = BuildKeyMap(defaultLayout, record.layers[layer], macros);
        for (size_t position = 0; position < static_cast<size_t>(kKeyPositionCount); ++position) {
            const KeyMapEntry held = ReadKeyMapEntry(keyboard.keyMaps[layer], position);
            const KeyMapEntry wouldWrite = ReadKeyMapEntry(built, position);
            if (held != wouldWrite)
                entries.push_back({layer, static_cast<KeyPosition>(position), held, wouldWrite});
        }
    }
    return entries;
}

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
        if (!SameAsKeyboardMacro(macros[i], held[i], i))
            return false;
    }
    return true;
}

} // namespace tavrik
