#include "device/written_bytes_check.h"

#include "device/config_frame.h"

#include <algorithm>
#include <vector>

namespace tavrik {

uint8_t ReadBackCommandFor(uint8_t writeCommand) {
    switch (writeCommand) {
    case command::kWriteKeyMap:
        return command::kReadKeyMap;
    case command::kWriteMacroMemory:
        return command::kReadMacroMemory;
    case command::kWriteColours:
        return command::kReadColours;
    default:
        return 0;
    }
}

DeviceResult CheckWrittenBytes(FrameExchange& exchange, uint8_t writeCommand, uint16_t address,
                               std::span<const uint8_t> written,
                               const DifferingFrameListener& listener) {
    std::vector<uint8_t> stored(written.size());
    const DeviceResult read =
        ReadTransfer(exchange, ReadBackCommandFor(writeCommand), address, stored);
    if (read != DeviceResult::Done)
        return read;
    DeviceResult result = DeviceResult::Done;
    for (size_t offset = 0; offset < written.size(); offset += kFrameDataSize) {
        const size_t length = std::min(kFrameDataSize, written.size() - offset);
        if (std::ranges::equal(written.subspan(offset, length),
                               std::span(stored).subspan(offset, length)))
            continue;
        result = DeviceResult::DiffersAfterWrite;
        if (listener)
            listener({writeCommand, static_cast<uint8_t>(length),
                      static_cast<uint16_t>(address + offset)});
    }
    return result;
}

} // namespace tavrik
