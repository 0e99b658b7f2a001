#pragma once
// Reading the keyboard's lighting state: the settings block (which effects it offers), the
// lighting parameters and, for the per-key effect, the colour table. The bytes come back raw;
// the lighting model interprets them.

#include "device/device_commands.h"

#include <array>
#include <optional>

namespace tavrik {

inline constexpr uint8_t kPerKeyEffect = 6;
// The colour table moves in nine frames of 18 keys (54 bytes) from positions 0, 18, ..., 144;
// the last one reaches 6 bytes past position 159.
inline constexpr int kColourChunkCount = 9;
inline constexpr uint8_t kColourChunkKeys = 18;

using LightingParamsBytes = std::array<uint8_t, kLightingParamsSize>;
using ColourChunkBytes = std::array<uint8_t, kColourTableChunk>;

struct LightingReadout {
    DeviceSettings settings{};
    // Command 5's answer, when it succeeded.
    std::optional<LightingParamsBytes> params;
    // Chunk i covers positions 18 i .. 18 i + 17, present when its read succeeded. A failed
    // chunk is absent, so the caller keeps what it knew of those keys.
    std::array<std::optional<ColourChunkBytes>, kColourChunkCount> colourChunks;
};

// True when settings bytes 12..25 list `effect`.
bool OffersEffect(const DeviceSettings& settings, uint8_t effect);

// Command 3; a result other than Done ends here with that result and nothing else sent. Then,
// bracketed: begin; the nine colour reads when `withKeyTable` is set and the keyboard offers the
// per-key effect; command 5 for 56 bytes at address 0; end. Returns command 5's result.
DeviceResult ReadLightingAreas(DeviceCommands& commands, bool withKeyTable,
                               LightingReadout& readout);

} // namespace tavrik
