#include "emulator/byte_codec.h"

#include <algorithm>

namespace tavrik::emu {

uint8_t ByteReader::U8() {
    const auto b = Bytes(1);
    return b.empty() ? 0 : b[0];
}

uint16_t ByteReader::U16() {
    const auto b = Bytes(2);
    return b.empty() ? 0 : static_cast<uint16_t>(b[0] | (b[1] << 8));
}

uint32_t ByteReader::U32() {
    const auto b = Bytes(4);
    if (b.empty())
        return 0;
    return uint32_t{b[0]} | (uint32_t{b[1]} << 8) | (uint32_t{b[2]} << 16) | (uint32_t{b[3]} << 24);
}

std::span<const uint8_t> ByteReader::Bytes(size_t count) {
    if (!ok_ || count > bytes_.size() - at_) {
        ok_ = false;
        return {};
    }
    const auto out = bytes_.subspan(at_, count);
    at_ += count;
    return out;
}

void ByteReader::Into(std::span<uint8_t> out) {
    const auto in = Bytes(out.size());
    if (ok_)
        std::copy(in.begin(), in.end(), out.begin());
}

std::span<const uint8_t> ByteReader::Rest() {
    return Bytes(bytes_.size() - at_);
}

void ByteWriter::U16(uint16_t value) {
    U8(static_cast<uint8_t>(value & 0xFF));
    U8(static_cast<uint8_t>(value >> 8));
}

void ByteWriter::U32(uint32_t value) {
    U16(static_cast<uint16_t>(value & 0xFFFF));
    U16(static_cast<uint16_t>(value >> 16));
}

} // namespace tavrik::emu
