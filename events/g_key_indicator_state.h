#pragma once
// The 2-byte status the program writes to the keyboard's indicator unit: byte 0 is 0x05, byte 1
// is 0x02 with bit 0 as the G-key bank (0 = bank A, 1 = bank B). The bank starts at A in every
// run, whatever bank the keyboard is in, and changes only when the keyboard reports a toggle.
// Readers on any thread see a consistent value.

#include <array>
#include <atomic>
#include <cstdint>

namespace tavrik {

inline constexpr size_t kGKeyIndicatorSize = 2;
inline constexpr uint8_t kGKeyIndicatorByte0 = 0x05;
inline constexpr uint8_t kGKeyIndicatorByte1 = 0x02;
inline constexpr uint8_t kGKeyBankBit = 0x01;

// First key slot of the nine G keys in each bank.
inline constexpr int kGKeyBankASlot = 256;
inline constexpr int kGKeyBankBSlot = 265;
inline constexpr int kGKeyCount = 9;

class GKeyIndicatorState {
public:
    using Bytes = std::array<uint8_t, kGKeyIndicatorSize>;

    bool BankB() const { return bank_.load() != 0; }
    // The key slot of G-key index 0..8 in the current bank.
    int GKeySlot(int gKeyIndex) const {
        return (BankB() ? kGKeyBankBSlot : kGKeyBankASlot) + gKeyIndex;
    }
    Bytes ToBytes() const { return BytesFor(BankB()); }

    // Flips the bank bit and returns the status bytes of the new bank.
    Bytes Toggle() { return BytesFor((bank_.fetch_xor(kGKeyBankBit) ^ kGKeyBankBit) != 0); }

private:
    static Bytes BytesFor(bool bankB) {
        return {kGKeyIndicatorByte0,
                static_cast<uint8_t>(kGKeyIndicatorByte1 | (bankB ? kGKeyBankBit : 0))};
    }

    std::atomic<uint8_t> bank_{0}; // kGKeyBankBit or 0
};

} // namespace tavrik
