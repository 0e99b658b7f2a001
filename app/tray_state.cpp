#include "app/tray_state.h"

namespace tavrik {

std::optional<int> TrayIconState::SetTrayState(int mode, int iconId) {
    int wanted = 0;
    if (mode == 0 && iconId != 0) {
        m_deviceIcon = iconId;
        wanted = iconId;
    } else if (mode == 0) {
        wanted = m_deviceIcon;
    } else if (mode == 1) {
        wanted = kIconMacroPlaying;
    } else {
        return std::nullopt;
    }
    if (wanted == m_shown) {
        return std::nullopt;
    }
    m_shown = wanted;
    return wanted;
}

} // namespace tavrik
