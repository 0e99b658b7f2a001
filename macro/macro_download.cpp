#include "macro/macro_download.h"

#include "assign/key_map_conversion.h"
#include "device/frame_exchange.h"
#include "macro/macro_image.h"
#include "macro/macro_texts.h"

#include <optional>
#include <vector>

namespace tavrik {

namespace {

std::vector<int> ProfilesToSend(DownloadTarget target) {
    if (target.allProfiles) {
        return {0, 1, 2};
    }
    if (target.activeProfile >= 0 && target.activeProfile < kKeyMapBlockCount) {
        return {target.activeProfile};
    }
    return {};
}

void Show(const MessageCallback& showMessage, std::u16string_view text) {
    if (showMessage) {
        showMessage(text);
    }
}

} // namespace

bool DownloadToKeyboard(DeviceCommands& commands, const DownloadSnapshot& snapshot,
                        const KeyboardMemory& keyboard, DownloadTarget target,
                        const MessageCallback& showMessage) {
    const std::vector<int> profiles = ProfilesToSend(target);
    if (profiles.empty()) {
        return false;
    }
    const MacroImageLengths lengths = MacroImageSizes(snapshot.macros);
    if (lengths.withoutNames > keyboard.macroCapacity) {
        Show(showMessage, macro_text::kMacroMemoryTooSmall);
        return false;
    }
    const bool namesIncluded = lengths.withNames <= keyboard.macroCapacity;
    const std::optional<std::vector<uint8_t>> image =
        BuildMacroImage(snapshot.macros, namesIncluded);
    if (!image) {
        return false;
    }
    std::vector<KeyMapBlock> keyMaps;
    for (const int profile : profiles) {
        keyMaps.push_back(
            BuildKeyMap(keyboard.defaultLayout, snapshot.layers[profile], snapshot.macros));
    }

    // No other thread's frames may come between begin and end.
    const DeviceResult lastKeyMapWrite = commands.Exchange().RunBracketed([&] {
        commands.BeginConfiguration();
        commands.WriteMacroMemory(*image);
        DeviceResult result = DeviceResult::NoKeyboard;
        for (size_t i = 0; i < profiles.size(); ++i) {
            result = commands.WriteKeyMapBlock(profiles[i], keyMaps[i]);
        }
        commands.EndConfiguration();
        return result;
    });

    if (!namesIncluded) {
        Show(showMessage, macro_text::kMacroNamesLeftOut);
    }
    return lastKeyMapWrite == DeviceResult::Done;
}

} // namespace tavrik
