#include "device/attach_reads.h"

#include "device/device_texts.h"

namespace tavrik {

namespace {

inline constexpr int kMacroCapacityUnitBytes = 128;

} // namespace

DeviceResult ReadMacroCapacity(DeviceCommands& commands, KeyboardFacts& facts) {
    DeviceSettings settings{};
    const DeviceResult result = commands.ReadSettings(settings);
    if (result == DeviceResult::Done)
        facts.SetMacroCapacity(settings[settings_byte::kMacroCapacityUnits] *
                               kMacroCapacityUnitBytes);
    return result;
}

AttachReadResults ReadAttachedKeyboard(DeviceCommands& commands, KeyboardFacts& facts,
                                       const DeviceMessageCallback& showMessage) {
    AttachReadResults results;
    KeyMapBlock layout{};
    results.defaultLayout = commands.ReadDefaultLayout(layout);
    if (results.defaultLayout == DeviceResult::Done)
        facts.SetDefaultLayout(layout);
    else if (showMessage)
        showMessage(kDefaultLayoutReadFailed);

    results.settings = ReadMacroCapacity(commands, facts);
    return results;
}

} // namespace tavrik
