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

// The clearing frame: the magic of the image the keyboard holds, overwritten with zeros.
constexpr std::array<uint8_t, 2> kNoMagic{};

// Writes the image so that a download cut off anywhere (the keyboard unplugged, a frame lost or
// refused) leaves a memory that reads as holding no macros, never as other, half-written ones:
// the magic is cleared first, and the header that carries it goes last, only once everything
// before it was written. An image the keyboard is known to hold already is not touched. The result
// is the first failed write's, else the header's.
DeviceResult WriteMacroImage(DeviceCommands& commands, std::span<const uint8_t> image) {
    if (commands.KnownToHold(command::kWriteMacroMemory, 0, image))
        return DeviceResult::Done;
    if (const DeviceResult cleared = commands.WriteMacroMemory(kNoMagic);
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

// What a whole configuration writes, in the frames and the order WriteMacroImage and the key map
// writes use. An image believed to be on the keyboard whole is looked at whole: if it is, it is
// not touched. Otherwise the clearing frame and the body are; the header is written after the
// clearing frame whatever the keyboard held, so reading it first would be waste.
std::vector<PlannedWrite> WhatTheDownloadWrites(const DeviceCommands& commands,
                                                std::span<const uint8_t> image,
                                                const std::vector<int>& profiles,
                                                const std::vector<KeyMapBlock>& keyMaps) {
    std::vector<PlannedWrite> writes;
    const std::span<const uint8_t> header = image.first(std::min(image.size(), kMacroHeaderBytes));
    const std::span<const uint8_t> body = image.subspan(header.size());
    if (commands.KnownToHold(command::kWriteMacroMemory, 0, image))
        writes.push_back({command::kWriteMacroMemory, 0, header});
    else
        writes.push_back({command::kWriteMacroMemory, 0, kNoMagic});
    writes.push_back({command::kWriteMacroMemory, static_cast<uint16_t>(header.size()), body});
    for (size_t i = 0; i < profiles.size(); ++i)
        writes.push_back({command::kWriteKeyMap, KeyMapBlockAddress(profiles[i]), keyMaps[i]});
    return writes;
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
        // A whole configuration must leave exactly its bytes: a frame left out on old knowledge
        // would keep what another program wrote. Programs that take turns make this one forget
        // what it believed (keyboard_turn.h); a writer that does not is caught by reading the
        // frames believed equal again. A keyboard that fails such a read is not written to.
        if (target.allProfiles && commands.ConfirmKnownFrames(WhatTheDownloadWrites(
                                      commands, *image, profiles, keyMaps)) != DeviceResult::Done)
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
