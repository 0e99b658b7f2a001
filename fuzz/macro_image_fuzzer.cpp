// Feeds arbitrary keyboard memory to the parsers of what the keyboard hands back: the macro
// image (read from exactly the bytes given, so that any read past them is caught) and a key map
// block compared against a default layout. Besides memory errors it checks that the results keep
// the records' limits, that the macros read survive a second trip through the image format, and
// that a layer read back downloads without touching positions that hold no key.

#include "assign/key_map_conversion.h"
#include "macro/macro_image.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace {

using namespace tavrik;

void Require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

void CheckRecords(const std::vector<MacroRecord>& records) {
    Require(records.size() <= kMaxMacros);
    for (size_t i = 0; i < records.size(); ++i) {
        Require(records[i].id == i + 1);
        Require(records[i].actions.size() <= kMaxMacroActions);
        Require(records[i].name.size() <= kMaxMacroNameLength);
    }
}

void CheckSecondTrip(const std::vector<MacroRecord>& records) {
    const auto image = BuildMacroImage(records, true);
    if (!image) {
        return; // more than the 16-bit fields describe: never downloaded
    }
    std::vector<MacroRecord> expected = records;
    for (size_t i = 0; i < expected.size(); ++i) {
        if (expected[i].name.empty()) {
            expected[i].name = DefaultMacroName(static_cast<unsigned>(i + 1));
        }
    }
    Require(MacroImageToRecords(*image) == expected);
}

KeyMapBlock BlockFrom(std::span<const uint8_t> bytes) {
    KeyMapBlock block{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), block.size()), block.begin());
    return block;
}

void CheckKeyMap(std::span<const uint8_t> data, const std::vector<MacroRecord>& macros) {
    const KeyMapBlock block = BlockFrom(data);
    const KeyMapBlock defaultLayout = BlockFrom(data.last(std::min(data.size(), kKeyMapBlockSize)));
    const KeyFunctionLayer layer = KeyMapBlockToLayer(block, defaultLayout);
    for (size_t slot = kFirstMacroKeySlot; slot < kLayerSlots; ++slot) {
        Require(layer[slot] == KeyFunctionEntry{.code = MacroKeyCode(slot)});
    }
    // Positions whose default entry names no key are downloaded exactly as the layout has them.
    const KeyMapBlock rebuilt = BuildKeyMap(defaultLayout, layer, macros);
    for (size_t position = 0; position < kKeyPositionCount; ++position) {
        const KeyMapEntry defaultEntry = ReadKeyMapEntry(defaultLayout, position);
        if (ScanFromKeyMapEntry(defaultEntry) == 0) {
            Require(ReadKeyMapEntry(rebuilt, position) == defaultEntry);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> exact(data, data + size); // the heap buffer ASan watches
    const std::vector<MacroRecord> records = MacroImageToRecords(exact);
    CheckRecords(records);
    CheckSecondTrip(records);
    CheckKeyMap(exact, records);
    return 0;
}
