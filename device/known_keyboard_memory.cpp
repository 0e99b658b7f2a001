#include "device/known_keyboard_memory.h"

#include <algorithm>

namespace tavrik {

void KnownKeyboardMemory::Learn(uint8_t readCommand, uint16_t address,
                                std::span<const uint8_t> bytes) {
    std::lock_guard lock(mutex_);
    Area& area = areas_[readCommand];
    const size_t end = address + bytes.size();
    if (area.bytes.size() < end) {
        area.bytes.resize(end);
        area.known.resize(end, false);
    }
    std::ranges::copy(bytes, area.bytes.begin() + address);
    std::fill(area.known.begin() + address, area.known.begin() + static_cast<ptrdiff_t>(end), true);
}

void KnownKeyboardMemory::Forget(uint8_t readCommand, uint16_t address, size_t length) {
    std::lock_guard lock(mutex_);
    const auto found = areas_.find(readCommand);
    if (found == areas_.end())
        return;
    std::vector<bool>& known = found->second.known;
    const size_t begin = std::min<size_t>(address, known.size());
    const size_t end = std::min(begin + length, known.size());
    std::fill(known.begin() + static_cast<ptrdiff_t>(begin),
              known.begin() + static_cast<ptrdiff_t>(end), false);
}

void KnownKeyboardMemory::ForgetAll() {
    std::lock_guard lock(mutex_);
    areas_.clear();
}

bool KnownKeyboardMemory::Holds(uint8_t readCommand, uint16_t address,
                                std::span<const uint8_t> bytes) const {
    std::lock_guard lock(mutex_);
    const auto found = areas_.find(readCommand);
    if (found == areas_.end())
        return false;
    const Area& area = found->second;
    const size_t end = address + bytes.size();
    if (area.known.size() < end)
        return false;
    const auto first = static_cast<ptrdiff_t>(address);
    return std::all_of(area.known.begin() + first, area.known.begin() + static_cast<ptrdiff_t>(end),
                       [](bool known) { return known; }) &&
           std::ranges::equal(bytes, std::span(area.bytes).subspan(address, bytes.size()));
}

} // namespace tavrik
