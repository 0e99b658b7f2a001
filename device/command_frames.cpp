#include "device/command_frames.h"

#include "device/frame_exchange.h"

#include <algorithm>

namespace tavrik {

namespace {

DeviceResult StatusResult(uint8_t status) {
    switch (status) {
    case kStatusRefusedFF:
        return DeviceResult::RefusedFF;
    case kStatusRefusedFE:
        return DeviceResult::RefusedFE;
    default:
        return DeviceResult::Done;
    }
}

void PutHeader(ConfigFrame& request, CommandHeader header) {
    request[frame::kReportId] = kConfigReportId;
    request[frame::kCommand] = header.command;
    request[frame::kLength] = header.length;
    request[frame::kAddressLow] = static_cast<uint8_t>(header.address & 0xFF);
    request[frame::kAddressHigh] = static_cast<uint8_t>(header.address >> 8);
}

// Stamps the checksum, exchanges the frame and turns the answer's status into the result.
DeviceResult Exchange(FrameExchange& exchange, ConfigFrame& request, ConfigFrame& answer) {
    StampFrameChecksum(request);
    size_t answerLength = 0;
    const DeviceResult result = exchange.ExchangeFrame(request, answer, answerLength);
    if (result != DeviceResult::Done)
        return result;
    return StatusResult(answer[frame::kStatus]);
}

std::span<const uint8_t> AnswerData(const ConfigFrame& answer, size_t length) {
    return std::span<const uint8_t>(answer).subspan(frame::kData, length);
}

struct TransferPlan {
    uint8_t command = 0;
    uint16_t address = 0;
    size_t size = 0;
};

// Frames for offsets 0, 56, 112, ... below the size, each carrying min(56, rest) bytes: taken
// from `source` when writing, copied into `destination` when reading.
DeviceResult Transfer(FrameExchange& exchange, TransferPlan plan, std::span<const uint8_t> source,
                      std::span<uint8_t> destination, const FrameChoice& send = {}) {
    if (plan.size > 0x10000u - plan.address) // must not run past the 16-bit address space
        return DeviceResult::BadBlockIndex;
    return exchange.RunBracketed([&] {
        ConfigFrame request{};
        ConfigFrame answer{};
        for (size_t offset = 0; offset < plan.size; offset += kFrameDataSize) {
            const size_t length = std::min(kFrameDataSize, plan.size - offset);
            const CommandHeader header{plan.command, static_cast<uint8_t>(length),
                                       static_cast<uint16_t>(plan.address + offset)};
            PutHeader(request, header);
            if (!source.empty())
                std::ranges::copy(source.subspan(offset, length), request.begin() + frame::kData);
            if (send && !send(header, source.subspan(offset, length)))
                continue;
            const DeviceResult result = Exchange(exchange, request, answer);
            if (result != DeviceResult::Done)
                return result;
            if (!destination.empty())
                std::ranges::copy(AnswerData(answer, length), destination.begin() + offset);
        }
        return DeviceResult::Done;
    });
}

} // namespace

DeviceResult SendCommand(FrameExchange& exchange, CommandHeader header,
                         std::span<const uint8_t> dataOut, std::span<uint8_t> dataIn) {
    if (dataOut.size() > kFrameDataSize || dataIn.size() > kFrameDataSize)
        return DeviceResult::BadBlockIndex;
    ConfigFrame request{};
    PutHeader(request, header);
    std::ranges::copy(dataOut, request.begin() + frame::kData);
    ConfigFrame answer{};
    const DeviceResult result = Exchange(exchange, request, answer);
    if (result == DeviceResult::Done)
        std::ranges::copy(AnswerData(answer, dataIn.size()), dataIn.begin());
    return result;
}

DeviceResult WriteTransfer(FrameExchange& exchange, uint8_t command, uint16_t address,
                           std::span<const uint8_t> source, const FrameChoice& send) {
    return Transfer(exchange, {command, address, source.size()}, source, {}, send);
}

DeviceResult ReadTransfer(FrameExchange& exchange, uint8_t command, uint16_t address,
                          std::span<uint8_t> destination) {
    return Transfer(exchange, {command, address, destination.size()}, {}, destination);
}

} // namespace tavrik
