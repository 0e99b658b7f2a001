#include "macro/macro_download.h"

#include "assign/key_map_conversion.h"
#include "device/config_frame.h"
#include "device/frame_exchange.h"
#include "macro/macro_image.h"
#include "macro/macro_texts.h"

#include <algorithm>
#include <array>
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

// Writes the image so that a download cut off anywhere (the keyboard unplugged, a frame lost or
// refused) leaves a memory that reads as holding no macros, never as other, half-written ones:
// the magic is cleared first, and the header that carries it goes last, only once everything
// before it was written. An image the keyboard is known to hold already is not touched. The result
// is the first failed write's, else the header's.
DeviceResult WriteMacroImage(DeviceCommands& commands, std::span<const uint8_t> image) {
    if (commands.KnownToHold(command::kWriteMacroMemory, 0, image))
        return DeviceResult::Done;
    const std::array<uint8_t, 2> noMagic{};
    if (const DeviceResult cleared = commands.WriteMacroMemory(noMagic);
        cleared != DeviceResult::Done)
        return cleared;
    const std::span<const uint8_t> header = image.first(std::min(image.size(), kMacroHeaderBytes));
    if (image.size() > header.size()) {
        const DeviceResult body =
            commands.WriteMacroMemory(image.subspan(header.size()), kMacroHeaderBytes);
        if (body != DeviceResult::Done)
            return body;
    }
    return commands.WriteMacroMemory(header);
}

// A whole configuration goes over what the keyboard holds right now, read again just before:
// another program may have written to it since this one last read it, and a frame left out on
// that old knowledge would keep the other program's bytes. The reads cost no more than reading
// back a whole write would. A keyboard that fails one is not written to: false.
bool ReadWhatTheDownloadCovers(DeviceCommands& commands, const std::vector<int>& profiles,
                               size_t imageSize) {
    for (const int profile : profiles) {
        KeyMapBlock held{};
        if (commands.ReadKeyMapBlock(profile, held) != DeviceResult::Done)
            return false;
    }
    std::vector<uint8_t> image(imageSize);
    return commands.ReadMacroMemory(image) == DeviceResult::Done;
}

void Show(const MessageCallback& showMessage, std::u16string_view text) {
    if (showMessage) {
        showMessage(text);
    }
}

} // namespace

DownloadResult DownloadToKeyboard(DeviceCommands& commands, const DownloadSnapshot& snapshot,
                                  const KeyboardMemory& keyboard, DownloadTarget target,
                                  const MessageCallback& showMessage) {
    const std::vector<int> profiles = ProfilesToSend(target);
    if (profiles.empty()) {
        return {};
    }
    const MacroImageLengths lengths = MacroImageSizes(snapshot.macros);
    if (lengths.withoutNames > keyboard.macroCapacity) {
        Show(showMessage, macro_text::kMacroMemoryTooSmall);
        return {};
    }
    const bool namesIncluded = lengths.withNames <= keyboard.macroCapacity;
    const std::optional<std::vector<uint8_t>> image =
        BuildMacroImage(snapshot.macros, namesIncluded);
    if (!image) {
        return {};
    }
    std::vector<KeyMapBlock> keyMaps;
    for (const int profile : profiles) {
        keyMaps.push_back(
            BuildKeyMap(keyboard.defaultLayout, snapshot.layers[profile], snapshot.macros));
    }

    // No other thread's frames may come between begin and end.
    const DownloadResult result = commands.Exchange().RunBracketed([&] {
        if (target.allProfiles && !commands.WritesEveryFrame() &&
            !ReadWhatTheDownloadCovers(commands, profiles, image->size()))
            return DownloadResult{};
        bool everyFrameWritten = true;
        const auto follow = [&everyFrameWritten](DeviceResult written) {
            everyFrameWritten = everyFrameWritten && written == DeviceResult::Done;
            return written;
        };
        follow(commands.BeginConfiguration());
        follow(WriteMacroImage(commands, *image));
        DeviceResult lastKeyMapWrite = DeviceResult::NoKeyboard;
        for (size_t i = 0; i < profiles.size(); ++i) {
            lastKeyMapWrite = follow(commands.WriteKeyMapBlock(profiles[i], keyMaps[i]));
        }
        follow(commands.EndConfiguration());
        return DownloadResult{lastKeyMapWrite == DeviceResult::Done, everyFrameWritten};
    });

    if (!namesIncluded) {
        Show(showMessage, macro_text::kMacroNamesLeftOut);
    }
    return result;
}

} // namespace tavrik
