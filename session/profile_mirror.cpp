#include "session/profile_mirror.h"

#include "assign/key_map_conversion.h"
#include "macro/macro_image.h"

#include <algorithm>

namespace tavrik {

bool MirrorsKeyboard(const ProfileRecord& record, std::span<const MacroRecord> macros,
                     const KeyboardContents& keyboard, const KeyMapBlock& defaultLayout) {
    for (size_t layer = 0; layer < kHardwareProfileCount; ++layer) {
        if (record.layers[layer] != KeyMapBlockToLayer(keyboard.keyMaps[layer], defaultLayout))
            return false;
    }
    if (record.layers[kLayerCount - 1] != KeyFunctionLayer{})
        return false;
    return std::ranges::equal(macros, MacroImageToRecords(keyboard.macroImage));
}

} // namespace tavrik
