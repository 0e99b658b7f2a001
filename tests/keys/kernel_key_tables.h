#pragma once
// The Linux kernel's own key tables, read from verbatim excerpts of its sources in data/ (see
// the header of each file): how a USB keyboard's HID usages and a PS/2 keyboard's set-1 scan
// codes become Linux key codes. Two independent descriptions of the same keys, written by
// people who never saw this program, against which the key table is checked.

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrik::test {

class KernelKeyTables {
public:
    // Reads the three excerpts from `folder`; nullopt when one is missing or does not hold the
    // expected tables, with the reason in `error`.
    static std::optional<KernelKeyTables> Load(const std::string& folder, std::string& error);

    // The value of a KEY_... name (aliases resolved); -1 for an unknown name.
    int Key(std::string_view name) const;
    // Linux key code of a usage of the keyboard (0x07), Generic Desktop (0x01) or consumer
    // (0x0C) page; 0 when the kernel maps it to no key.
    int FromUsage(uint16_t page, uint16_t usage) const;
    // Linux key code of a set-1 make code (+0x100 for E0) on a PS/2 keyboard in translated
    // mode, exactly as atkbd_set_keycode_table() builds it; ATKBD_KEY_NULL (255) marks codes the
    // driver drops.
    int FromSet1(uint16_t scan) const;
    int AtkbdKeyNull() const { return atkbdKeyNull_; }

private:
    std::map<std::string, int, std::less<>> keyCodes_;
    std::array<int, 256> hidKeyboard_{};
    std::map<uint16_t, int> hidSystemControl_;
    std::map<uint16_t, int> hidConsumer_;
    std::vector<int> atkbdSet2_;
    std::vector<int> atkbdUnxlate_;
    int atkbdKeyNull_ = -1;
};

} // namespace tavrik::test
