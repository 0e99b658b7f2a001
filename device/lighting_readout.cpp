#include "device/lighting_readout.h"

#include "device/frame_exchange.h"

#include <algorithm>

namespace tavrik {

namespace {

void ReadColourChunks(DeviceCommands& commands, LightingReadout& readout) {
    for (int chunk = 0; chunk < kColourChunkCount; ++chunk) {
        ColourChunkBytes bytes{};
        const auto position = static_cast<uint8_t>(chunk * kColourChunkKeys);
        if (commands.ReadKeyColours(position, bytes) == DeviceResult::Done)
            readout.colourChunks[chunk] = bytes;
    }
}

DeviceResult ReadParams(DeviceCommands& commands, LightingReadout& readout) {
    LightingParamsBytes params{};
    const DeviceResult result = commands.ReadLighting(params, 0);
    if (result == DeviceResult::Done)
        readout.params = params;
    return result;
}

} // namespace

bool OffersEffect(const DeviceSettings& settings, uint8_t effect) {
    const auto offered =
        std::span(settings).subspan(settings_byte::kFirstEffect, settings_byte::kEffectSlots);
    return effect != 0 && std::ranges::find(offered, effect) != offered.end();
}

DeviceResult ReadLightingAreas(DeviceCommands& commands, bool withKeyTable,
                               LightingReadout& readout) {
    return commands.Exchange().RunBracketed([&] {
        const DeviceResult settingsRead = commands.ReadSettings(readout.settings);
        if (settingsRead != DeviceResult::Done)
            return settingsRead;
        commands.BeginConfiguration();
        if (withKeyTable && OffersEffect(readout.settings, kPerKeyEffect))
            ReadColourChunks(commands, readout);
        const DeviceResult paramsRead = ReadParams(commands, readout);
        commands.EndConfiguration();
        return paramsRead;
    });
}

} // namespace tavrik
