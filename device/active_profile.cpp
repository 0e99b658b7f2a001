#include "device/active_profile.h"

#include "device/frame_exchange.h"

namespace tavrik {

int GetActiveProfileIndex(DeviceCommands& commands, KeyboardFacts& facts) {
    return commands.Exchange().RunBracketed([&] {
        const int cached = facts.ActiveProfile();
        if (cached != kUnknownProfile)
            return cached;
        DeviceSettings settings{};
        if (commands.ReadSettings(settings) != DeviceResult::Done)
            return kUnknownProfile;
        const int active = settings[settings_byte::kActiveProfile];
        facts.SetActiveProfile(active);
        return active;
    });
}

DeviceResult SetActiveProfileIndex(DeviceCommands& commands, KeyboardFacts& facts, int index) {
    if (index < 0 || index > 0xFF)
        return DeviceResult::BadBlockIndex;
    return commands.Exchange().RunBracketed([&] {
        DeviceSettings settings{};
        const DeviceResult read = commands.ReadSettings(settings);
        if (read != DeviceResult::Done)
            return read;
        settings[settings_byte::kActiveProfile] = static_cast<uint8_t>(index);
        const DeviceResult written = commands.WriteSettings(settings);
        if (written == DeviceResult::Done)
            facts.SetActiveProfile(index);
        else
            facts.ForgetActiveProfile();
        return written;
    });
}

} // namespace tavrik
