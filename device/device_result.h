#pragma once

#include <cstdint>

namespace tavrik {

// The result of every exchange and command with the keyboard.
enum class DeviceResult : int32_t {
    Done = 1,
    NoKeyboard = 0,       // no keyboard attached (nothing sent), or waiting for the answer failed
    WriteRefused = -1,    // the transport did not accept the report
    NoAnswer = -2,        // no matching answer after 3 attempts
    RefusedFF = -102,     // the keyboard answered status 0xFF
    RefusedFE = -103,     // the keyboard answered status 0xFE
    BadBlockIndex = -201, // key map block index out of range; nothing sent
    DiffersAfterWrite = -301, // acknowledged, but the bytes read back differ from those sent
    KeyboardBusy = -401,      // another program kept the keyboard's turn; nothing sent
};

// A short English name for messages and logs ("done", "no keyboard", ...).
const char* DeviceResultName(DeviceResult result);

} // namespace tavrik
