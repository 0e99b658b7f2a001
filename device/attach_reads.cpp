#include "device/attach_reads.h"

#include "device/device_texts.h"

namespace tavrik {

namespace {

inline constexpr int kMacroCapacityUnitBytes = 128;

} // namespace

AttachReadResults ReadAttachedKeyboard(DeviceCommands& commands, KeyboardFacts& facts,
                                       const DeviceMessageCallback& showMessage) {
    AttachReadResults results;
    KeyMapBlock layout{};
    results.defaultLayout = commands.ReadDefaultLayout(layout);
    if (results.defaultLayout == DeviceResult::Done)
        facts.SetDefaultLayout(layout);
    else if (showMessage)
        showMessage(kDefaultLayoutReadFailed);

    DeviceSettings settings{};
    results.settings = commands.ReadSettings(settings);
    if (results.settings == DeviceResult::Done)
        facts.SetMacroCapacity(settings[settings_byte::kMacroCapacityUnits] *
                               kMacroCapacityUnitBytes);
    return results;
}

} // namespace tavrik
