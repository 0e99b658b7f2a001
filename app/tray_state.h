#pragma once
// Which icon the notification area shows: 128 without a keyboard, 141 with one, 142 while the
// keyboard plays a macro. SetTrayState decides; the tray icon only shows the result.

#include "events/main_window_port.h"

#include <optional>

namespace tavrik {

class TrayIconState {
public:
    // Mode 0 with an icon id: show it and remember it as the device icon; mode 0 with id 0: the
    // remembered device icon again; mode 1: the macro icon; other modes: nothing. Gives the icon
    // to show when it differs from the one showing.
    std::optional<int> SetTrayState(int mode, int iconId);
    // After the exit sequence removed the icon: nothing shows.
    void Clear() { m_shown = 0; }

private:
    int m_deviceIcon = kIconNoKeyboard;
    int m_shown = kIconNoKeyboard;
};

} // namespace tavrik
