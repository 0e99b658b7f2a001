#pragma once
// The lighting effects a keyboard offers, in the order the effect list shows them, as announced in
// its settings block (bytes 12..25, one effect number per byte, 0 = empty slot), and the names the
// main skin file gives them.

#include "device/device_commands.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrik {

class EffectList {
public:
    EffectList() = default;
    // One entry per non-zero byte of settings bytes 12..25, in order.
    explicit EffectList(const DeviceSettings& settings);

    // The first list index holding the effect, or -1.
    int IndexOf(int effect) const;
    bool Offers(int effect) const { return IndexOf(effect) >= 0; }
    // The effect number at a list index, or 0 outside the list.
    int EffectAt(int index) const;
    int Size() const { return static_cast<int>(effects_.size()); }
    bool Empty() const { return effects_.empty(); }
    const std::vector<uint8_t>& Effects() const { return effects_; }

private:
    std::vector<uint8_t> effects_;
};

// Reads a value from the main skin file: (section, key) -> the value, or nothing when the key is
// missing. Supplied by the skin reader.
using SkinValueLookup = std::function<std::optional<std::u16string>(std::u16string_view section,
                                                                    std::u16string_view key)>;

// The name shown for an effect: the value of the key named by its decimal number in section
// "Mode" of the main skin file, "1" when the key is missing.
std::u16string EffectName(int effect, const SkinValueLookup& lookup);

} // namespace tavrik
