#pragma once
// The program's copy of the keyboard's per-key colour table: one (red, green, blue) triple per
// key position. The table moves in nine 54-byte chunks of 18 positions; the last chunk reaches
// 6 bytes past position 159, which go out as 0 and are dropped when read.

#include "keys/key_table.h"

#include <array>
#include <cstdint>
#include <span>

namespace tavrik {

inline constexpr size_t kColourTripleSize = 3;
inline constexpr size_t kKeyColourTableBytes = kKeyPositionCount * kColourTripleSize; // 480
inline constexpr int kPositionsPerChunk = 18;
inline constexpr size_t kColourChunkBytes = kPositionsPerChunk * kColourTripleSize; // 54
inline constexpr int kColourChunkCount = 9;
static_assert(kColourChunkCount * kPositionsPerChunk >= kKeyPositionCount);
static_assert((kColourChunkCount - 1) * kPositionsPerChunk < kKeyPositionCount);

// What the per-key effect writes: a key lit by the light tool, every key lit at once, a dark key.
inline constexpr uint8_t kKeyLitByTool = 0x01;
inline constexpr uint8_t kKeyLitAll = 0xFF;
inline constexpr uint8_t kKeyDark = 0x00;

using ColourChunk = std::array<uint8_t, kColourChunkBytes>;

class KeyColourTable {
public:
    // The first position of chunk 0..8.
    static constexpr KeyPosition ChunkStart(int chunk) {
        return static_cast<KeyPosition>(chunk * kPositionsPerChunk);
    }

    // Every byte of every triple.
    void Fill(uint8_t value) { bytes_.fill(value); }
    void SetKey(KeyPosition position, uint8_t value);
    // A key button shows lit exactly when its triple's first byte is 1.
    bool KeyLit(KeyPosition position) const;
    uint8_t FirstByte(KeyPosition position) const;

    // The 54 bytes of a chunk as they go to the keyboard (0 past position 159).
    ColourChunk Chunk(int chunk) const;
    // Takes a chunk read from the keyboard; the bytes past position 159 are dropped.
    void StoreChunk(int chunk, std::span<const uint8_t, kColourChunkBytes> bytes);

    std::span<const uint8_t, kKeyColourTableBytes> Bytes() const { return bytes_; }
    bool operator==(const KeyColourTable&) const = default;

private:
    std::array<uint8_t, kKeyColourTableBytes> bytes_{};
};

} // namespace tavrik
