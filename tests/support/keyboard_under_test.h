#pragma once
// What GUI tests read from the emulated keyboard and how they type as X11 does.

#include "assign/key_map_conversion.h"
#include "emulator/emulated_hid_bridge.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace tavrik::test {

// What the keyboard's key map makes the key at `slot` of hardware profile `profile` do, read
// back as a key function.
inline KeyFunctionEntry FunctionOnKeyboard(EmulatedHidBridge& keyboard, size_t profile,
                                           size_t slot) {
    return keyboard.WithFirmware([&](emu::KeyboardFirmware& firmware) {
        const emu::KeyboardMemory& memory = firmware.Memory();
        return KeyMapBlockToLayer(memory.keyMaps[profile], memory.defaultLayout)[slot];
    });
}

// A key event as X11 delivers it: the Linux key code + 8 and the keysym of the layout in use.
inline bool SendNativeKey(QWidget* target, QEvent::Type type, uint32_t linuxCode, uint32_t keysym,
                          int qtKey, bool autoRepeat = false) {
    QKeyEvent event(type, qtKey, Qt::NoModifier, linuxCode + 8, keysym, 0, QString(), autoRepeat);
    return QApplication::sendEvent(target, &event);
}

} // namespace tavrik::test
