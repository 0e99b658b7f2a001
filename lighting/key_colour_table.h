#pragma once
// The program's copy of the keyboard's per-key colour table: one (red, green, blue) triple per
// key position. The table moves in nine 54-byte chunks of 18 positions; the last chunk reaches
// 6 bytes past position 159, which go out as 0 and are dropped when read.

#include "device/lighting_readout.h"
#include "keys/key_table.h"

#include <array>
#include <cstdint>
#include <span>

namespace tavrik {

inline constexpr size_t kColourTripleSize = 3;
inline constexpr size_t kKeyColourTableBytes = kKeyPositionCount * kColourTripleSize; // 480
static_assert(kColourTableChunk == kColourChunkKeys * kColourTripleSize);
static_assert(kColourChunkCount * kColourChunkKeys >= kKeyPositionCount);
static_assert((kColourChunkCount - 1) * kColourChunkKeys < kKeyPositionCount);

// What the per-key effect writes: a key lit by the light tool, every key lit at once, a dark key.
inline constexpr uint8_t kKeyLitByTool = 0x01;
inline constexpr uint8_t kKeyLitAll = 0xFF;
inline constexpr uint8_t kKeyDark = 0x00;

using ColourTriple = std::array<uint8_t, kColourTripleSize>; // red, green, blue

class KeyColourTable {
public:
    // The first position of chunk 0..8.
    static constexpr KeyPosition ChunkStart(int chunk) {
        return static_cast<KeyPosition>(chunk * kColourChunkKeys);
    }

    // Every byte of every triple.
    void Fill(uint8_t value) { bytes_.fill(value); }
    void SetKey(KeyPosition position, uint8_t value);
    // A key button shows lit exactly when its triple's first byte is 1.
    bool KeyLit(KeyPosition position) const;
    // One key's triple as it is; positions past 159 are ignored (set) or all 0 (read).
    void SetTriple(KeyPosition position, const ColourTriple& triple);
    ColourTriple Triple(KeyPosition position) const;
    uint8_t FirstByte(KeyPosition position) const;

    // The 54 bytes of a chunk as they go to the keyboard (0 past position 159).
    ColourChunkBytes Chunk(int chunk) const;
    // Takes a chunk read from the keyboard; the bytes past position 159 are dropped.
    void StoreChunk(int chunk, const ColourChunkBytes& bytes);

    std::span<const uint8_t, kKeyColourTableBytes> Bytes() const { return bytes_; }
    bool operator==(const KeyColourTable&) const = default;

private:
    std::array<uint8_t, kKeyColourTableBytes> bytes_{};
};

} // namespace tavrik
