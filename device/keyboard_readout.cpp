#include "device/keyboard_readout.h"

#include "device/byte_order.h"
#include "device/frame_exchange.h"

namespace tavrik {

namespace {

// The image size the header announces, or 0 when the header does not describe an image that
// fits the macro memory.
size_t ImageSize(std::span<const uint8_t, kMacroHeaderBytes> header, int macroCapacity) {
    constexpr size_t kMagicAt = 0;
    constexpr size_t kSizeAt = 2;
    if (ReadU16(header, kMagicAt) != kMacroImageMagic)
        return 0;
    const size_t size = ReadU16(header, kSizeAt);
    const int memory = macroCapacity > 0 ? macroCapacity : kLargestMacroMemory;
    if (size < kMacroHeaderBytes || size > static_cast<size_t>(memory))
        return 0;
    return size;
}

DeviceResult ReadMacroImage(DeviceCommands& commands, int macroCapacity,
                            std::vector<uint8_t>& image) {
    std::array<uint8_t, kMacroHeaderBytes> header{};
    const DeviceResult headerRead = commands.ReadMacroMemory(header);
    if (headerRead != DeviceResult::Done)
        return headerRead;
    std::vector<uint8_t> bytes(ImageSize(header, macroCapacity));
    const DeviceResult imageRead = commands.ReadMacroMemory(bytes);
    if (imageRead == DeviceResult::Done)
        image = std::move(bytes);
    return imageRead;
}

} // namespace

DeviceResult ReadKeyMapsAndMacros(DeviceCommands& commands, const KeyboardFacts& facts,
                                  KeyMapsAndMacros& out) {
    return commands.Exchange().RunBracketed([&] {
        for (int block = 0; block < kKeyMapBlockCount; ++block) {
            const DeviceResult result = commands.ReadKeyMapBlock(block, out.keyMaps[block]);
            if (result != DeviceResult::Done)
                return result;
        }
        return ReadMacroImage(commands, facts.MacroCapacity(), out.macroImage);
    });
}

} // namespace tavrik
