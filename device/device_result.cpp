#include "device/device_result.h"

namespace tavrik {

const char* DeviceResultName(DeviceResult result) {
    switch (result) {
    case DeviceResult::Done:
        return "done";
    case DeviceResult::NoKeyboard:
        return "no keyboard";
    case DeviceResult::WriteRefused:
        return "write refused by the transport";
    case DeviceResult::NoAnswer:
        return "no answer from the keyboard";
    case DeviceResult::RefusedFF:
        return "refused by the keyboard (status 0xFF)";
    case DeviceResult::RefusedFE:
        return "refused by the keyboard (status 0xFE)";
    case DeviceResult::BadBlockIndex:
        return "argument out of range";
    case DeviceResult::DiffersAfterWrite:
        return "the bytes read back differ from those written";
    case DeviceResult::KeyboardBusy:
        return "the keyboard is in use by another program";
    }
    return "unknown result";
}

} // namespace tavrik
