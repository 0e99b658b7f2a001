#include "device/hid_bridge.h"

#include <cstring>

namespace tavrik {

namespace {

// The fixed permutation of 0..255 shared by callers and backends: b -> (167 * b + 13) mod 256.
// 167 is odd, so the map is a bijection of the bytes.
constexpr std::array<uint8_t, 256> MakeArgumentCheckTable() {
    std::array<uint8_t, 256> table{};
    for (unsigned b = 0; b < 256; ++b)
        table[b] = static_cast<uint8_t>((167u * b + 13u) & 0xFFu);
    return table;
}

constexpr auto kArgumentCheckTable = MakeArgumentCheckTable();

uint32_t SumOf(uint32_t value) {
    uint32_t sum = 0;
    for (int i = 0; i < 4; ++i)
        sum += kArgumentCheckTable[(value >> (8 * i)) & 0xFFu];
    return sum;
}

} // namespace

std::array<uint8_t, 16> UnitDescriptor::Bytes() const {
    std::array<uint8_t, 16> out{};
    auto put = [&out](size_t at, uint32_t value, size_t width) {
        for (size_t i = 0; i < width; ++i)
            out[at + i] = static_cast<uint8_t>(value >> (8 * i));
    };
    put(0, matchMask, 4);
    put(4, vendorId, 2);
    put(6, productId, 2);
    put(8, usagePage, 2);
    put(10, usage, 2);
    put(12, reserved, 4);
    return out;
}

uint32_t ArgumentCheck(const UnitDescriptor& unit, const UnitCallback* callback, uint32_t tag,
                       std::span<const uint8_t> data) {
    uint32_t sum = 0;
    for (uint8_t b : unit.Bytes())
        sum += kArgumentCheckTable[b];
    sum += SumOf(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(callback)));
    sum += SumOf(tag);
    for (uint8_t b : data)
        sum += kArgumentCheckTable[b];
    return sum;
}

} // namespace tavrik
