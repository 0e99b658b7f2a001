#pragma once
// Little-endian fields in and out of byte buffers. The reader never reads past its buffer: a read
// that does not fit fails, and the reader stays failed, so a parser checks once at the end.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tavrik::emu {

class ByteReader {
public:
    explicit ByteReader(std::span<const uint8_t> bytes)
        : bytes_(bytes) {}

    uint8_t U8();
    uint16_t U16();
    uint32_t U32();
    // `count` bytes, or an empty span (and failure) when fewer are left.
    std::span<const uint8_t> Bytes(size_t count);
    // Copies exactly out.size() bytes.
    void Into(std::span<uint8_t> out);
    std::span<const uint8_t> Rest();

    bool Ok() const { return ok_; }
    bool AtEnd() const { return at_ == bytes_.size(); }

private:
    std::span<const uint8_t> bytes_;
    size_t at_ = 0;
    bool ok_ = true;
};

class ByteWriter {
public:
    void U8(uint8_t value) { bytes_.push_back(value); }
    void U16(uint16_t value);
    void U32(uint32_t value);
    void Bytes(std::span<const uint8_t> bytes) {
        bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    }

    const std::vector<uint8_t>& Data() const { return bytes_; }
    std::vector<uint8_t> Take() { return std::move(bytes_); }

private:
    std::vector<uint8_t> bytes_;
};

} // namespace tavrik::emu
