#pragma once
// Which keyboard the program talks to: `--device hid|demo|emu:PATH` or the TAVRIK_DEVICE
// environment variable (the flag wins), a real keyboard when neither is given.

#include "device/hid_bridge.h"
#include "device/udev_rule.h"

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tavrik {

inline constexpr std::string_view kDeviceFlag = "--device";
inline constexpr const char* kDeviceEnvironmentVariable = "TAVRIK_DEVICE";

struct DeviceChoice {
    enum class Kind {
        Hid,      // real keyboards through hidraw
        Demo,     // the emulated keyboard inside the process
        Emulator, // an emulated keyboard served on a UNIX socket by tavrik-emu
    };
    Kind kind = Kind::Hid;
    std::string socketPath; // Emulator only

    bool operator==(const DeviceChoice&) const = default;
};

// "hid", "demo" or "emu:PATH" (PATH not empty); nothing and the reason otherwise.
std::optional<DeviceChoice> ParseDeviceChoice(std::string_view text, std::string* error);

// The value of `--device VALUE` or `--device=VALUE` among the arguments (the last one given);
// nothing when the flag is absent. A flag without a value gives an empty value.
std::optional<std::string_view> FindDeviceFlag(std::span<const std::string_view> arguments);

// The flag's value when given, else the environment variable when set and not empty, else hid.
std::optional<DeviceChoice> ChooseDevice(std::optional<std::string_view> flagValue,
                                         const char* environmentValue, std::string* error);

// Starts the chosen backend; nothing and a one-line reason when it cannot start.
std::unique_ptr<HidBridge> OpenBridge(const DeviceChoice& choice, std::string* error);

// Advice for a keyboard that is there but cannot be opened.
inline constexpr std::string_view kKeyboardNotAccessibleAdvice =
    "The keyboard is connected but this user may not open it: the rule "
    "/lib/udev/rules.d/70-voltri-vx60.rules, which the tavrik package installs, lets the user "
    "at the seat open it. Install the package (or copy the rule there), reload the rules and "
    "plug the keyboard in again.";
static_assert(kKeyboardNotAccessibleAdvice.find(kUdevRuleFile) != std::string_view::npos);

} // namespace tavrik
