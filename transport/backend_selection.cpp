#include "transport/backend_selection.h"

#include "device/hidapi_bridge.h"
#include "device/hidapi_platform.h"
#include "emulator/emulated_hid_bridge.h"
#include "emulator/socket_hid_bridge.h"

namespace tavrik {

namespace {

inline constexpr std::string_view kEmulatorPrefix = "emu:";

} // namespace

std::optional<DeviceChoice> ParseDeviceChoice(std::string_view text, std::string* error) {
    if (text == "hid")
        return DeviceChoice{DeviceChoice::Kind::Hid, {}};
    if (text == "demo")
        return DeviceChoice{DeviceChoice::Kind::Demo, {}};
    if (text.starts_with(kEmulatorPrefix) && text.size() > kEmulatorPrefix.size())
        return DeviceChoice{DeviceChoice::Kind::Emulator,
                            std::string(text.substr(kEmulatorPrefix.size()))};
    if (error)
        *error = "unknown device \"" + std::string(text) + "\" (expected hid, demo or emu:PATH)";
    return std::nullopt;
}

std::optional<std::string_view> FindDeviceFlag(std::span<const std::string_view> arguments) {
    std::optional<std::string_view> value;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (argument == kDeviceFlag)
            value = i + 1 < arguments.size() ? arguments[++i] : std::string_view{};
        else if (argument.starts_with(kDeviceFlag) && argument[kDeviceFlag.size()] == '=')
            value = argument.substr(kDeviceFlag.size() + 1);
    }
    return value;
}

std::optional<DeviceChoice> ChooseDevice(std::optional<std::string_view> flagValue,
                                         const char* environmentValue, std::string* error) {
    if (flagValue)
        return ParseDeviceChoice(*flagValue, error);
    if (environmentValue != nullptr && *environmentValue != '\0')
        return ParseDeviceChoice(environmentValue, error);
    return DeviceChoice{};
}

std::unique_ptr<HidBridge> OpenBridge(const DeviceChoice& choice, std::string* error) {
    switch (choice.kind) {
    case DeviceChoice::Kind::Demo:
        return std::make_unique<EmulatedHidBridge>();
    case DeviceChoice::Kind::Emulator:
        return ConnectEmulatorSocket(choice.socketPath, error);
    case DeviceChoice::Kind::Hid:
        break;
    }
    auto platform = MakeHidapiPlatform(error);
    if (!platform)
        return nullptr;
    return HidapiBridge::Start(std::move(platform), error);
}

} // namespace tavrik
