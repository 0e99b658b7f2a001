#include "lighting/key_colour_table.h"

#include <algorithm>

namespace tavrik {

namespace {

size_t ChunkOffset(int chunk) {
    return static_cast<size_t>(chunk) * kColourTableChunk;
}

bool ValidChunk(int chunk) {
    return chunk >= 0 && chunk < kColourChunkCount;
}

bool ValidPosition(KeyPosition position) {
    return position < kKeyPositionCount;
}

} // namespace

void KeyColourTable::SetTriple(KeyPosition position, const ColourTriple& triple) {
    if (ValidPosition(position))
        std::ranges::copy(triple, bytes_.begin() + position * kColourTripleSize);
}

ColourTriple KeyColourTable::Triple(KeyPosition position) const {
    ColourTriple triple{};
    if (ValidPosition(position))
        std::copy_n(bytes_.begin() + position * kColourTripleSize, kColourTripleSize,
                    triple.begin());
    return triple;
}

void KeyColourTable::SetKey(KeyPosition position, uint8_t value) {
    if (!ValidPosition(position))
        return;
    const auto first = bytes_.begin() + position * kColourTripleSize;
    std::fill(first, first + kColourTripleSize, value);
}

uint8_t KeyColourTable::FirstByte(KeyPosition position) const {
    return ValidPosition(position) ? bytes_[position * kColourTripleSize] : 0;
}

bool KeyColourTable::KeyLit(KeyPosition position) const {
    return FirstByte(position) == kKeyLitByTool;
}

ColourChunkBytes KeyColourTable::Chunk(int chunk) const {
    ColourChunkBytes out{};
    if (!ValidChunk(chunk))
        return out;
    const size_t offset = ChunkOffset(chunk);
    const size_t length = std::min(kColourTableChunk, bytes_.size() - offset);
    std::copy_n(bytes_.begin() + offset, length, out.begin());
    return out;
}

void KeyColourTable::StoreChunk(int chunk, const ColourChunkBytes& bytes) {
    if (!ValidChunk(chunk))
        return;
    const size_t offset = ChunkOffset(chunk);
    const size_t length = std::min(kColourTableChunk, bytes_.size() - offset);
    std::copy_n(bytes.begin(), length, bytes_.begin() + offset);
}

} // namespace tavrik
