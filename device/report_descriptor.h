#pragma once
// Which report ids belong to which top-level collection of a HID report descriptor. A keyboard
// may put several of its units behind one hidraw node; the first byte of each input report (its
// report id) then says which unit it belongs to.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tavrik {

struct TopLevelCollection {
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    // The ids of the reports declared inside the collection; empty when the descriptor uses no
    // report ids (reports then carry no id byte).
    std::vector<uint8_t> reportIds;
};

// The top-level collections in descriptor order; nothing when the descriptor is malformed
// (an item running past the end, unbalanced collections, too deep nesting).
std::optional<std::vector<TopLevelCollection>>
ParseReportDescriptor(std::span<const uint8_t> descriptor);

} // namespace tavrik
