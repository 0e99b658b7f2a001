#include "emulator/stored_macro.h"

#include "device/byte_order.h"

#include "emulator/keyboard_memory.h"

namespace tavrik::emu {

namespace {

// MacroImage header and block layout.
namespace image {
inline constexpr size_t kMagic = 0;
inline constexpr size_t kLength = 2;
inline constexpr size_t kCount = 4;
inline constexpr size_t kOffsetTable = kMacroHeaderBytes;
} // namespace image

namespace block {
inline constexpr size_t kActionCount = 0;
inline constexpr size_t kLoopCount = 2;
inline constexpr size_t kActions = 4;
inline constexpr size_t kActionSize = 4;
} // namespace block

// ActionWord: u16 (pause 0..11, kind 12..14, press 15), then sub and arg.
inline constexpr uint16_t kPauseMask = 0x0FFF;
inline constexpr unsigned kKindShift = 12;
inline constexpr uint16_t kKindMask = 0x7;
inline constexpr uint16_t kPressBit = 0x8000;

MacroStep StepAt(std::span<const uint8_t> bytes, size_t at) {
    const uint16_t word = ReadU16(bytes, at);
    return MacroStep{
        .pauseUnits = static_cast<uint16_t>(word & kPauseMask),
        .kind = static_cast<uint8_t>((word >> kKindShift) & kKindMask),
        .sub = bytes[at + 2],
        .arg = bytes[at + 3],
        .press = (word & kPressBit) != 0,
    };
}

// The image as far as its header says, or empty when there is no plausible image.
std::span<const uint8_t> ImageIn(std::span<const uint8_t> memory) {
    if (memory.size() < kMacroHeaderBytes || ReadU16(memory, image::kMagic) != kMacroImageMagic)
        return {};
    const size_t length = ReadU16(memory, image::kLength);
    if (length < kMacroHeaderBytes || length > memory.size())
        return {};
    return memory.first(length);
}

} // namespace

std::optional<StoredMacro> ReadStoredMacro(std::span<const uint8_t> macroMemory, uint8_t index) {
    const auto bytes = ImageIn(macroMemory);
    if (bytes.empty())
        return std::nullopt;
    const size_t count = ReadU16(bytes, image::kCount);
    if (index >= count || image::kOffsetTable + 2 * count > bytes.size())
        return std::nullopt;
    const size_t entry = image::kOffsetTable + 2 * size_t{index};
    const size_t start = ReadU16(bytes, entry);
    if (start + block::kActions > bytes.size())
        return std::nullopt;
    const size_t actions = ReadU16(bytes, start + block::kActionCount);
    if (actions * block::kActionSize > bytes.size() - start - block::kActions)
        return std::nullopt;
    StoredMacro macro;
    macro.loopCount = bytes[start + block::kLoopCount];
    macro.steps.reserve(actions);
    for (size_t i = 0; i < actions; ++i)
        macro.steps.push_back(StepAt(bytes, start + block::kActions + i * block::kActionSize));
    return macro;
}

} // namespace tavrik::emu
