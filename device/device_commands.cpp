#include "device/device_commands.h"

#include "device/command_frames.h"
#include "device/frame_exchange.h"

namespace tavrik {

namespace {

// The key map blocks sit 512 bytes apart, one per hardware profile.
inline constexpr uint16_t kKeyMapBlockStride = 512;
inline constexpr uint16_t kColourBytesPerKey = 3;

// The keyboard needs a moment after the last write before it takes the end of the bracket.
inline constexpr std::chrono::milliseconds kPauseBeforeEnd{10};

bool IsBlockIndex(int index) {
    return index >= 0 && index < kKeyMapBlockCount;
}

uint16_t KeyMapAddress(int index) {
    return static_cast<uint16_t>(index * kKeyMapBlockStride);
}

uint16_t ColourAddress(uint8_t position) {
    return static_cast<uint16_t>(position * kColourBytesPerKey);
}

uint8_t LengthByte(size_t size) {
    return static_cast<uint8_t>(size);
}

} // namespace

DeviceCommands::DeviceCommands(FrameExchange& exchange)
    : exchange_(exchange) {}

DeviceResult DeviceCommands::BeginConfiguration() {
    return SendCommand(exchange_, {command::kBegin, 0, 0});
}

DeviceResult DeviceCommands::EndConfiguration() {
    exchange_.Clock().SleepFor(kPauseBeforeEnd);
    return SendCommand(exchange_, {command::kEnd, 0, 0});
}

DeviceResult DeviceCommands::ReadSettings(DeviceSettings& out) {
    return SendCommand(exchange_, {command::kReadSettings, LengthByte(out.size()), 0}, {}, out);
}

DeviceResult DeviceCommands::WriteSettings(const DeviceSettings& settings) {
    return SendCommand(exchange_, {command::kWriteSettings, LengthByte(settings.size()), 0},
                       settings);
}

DeviceResult DeviceCommands::ReadLighting(std::span<uint8_t> out, uint16_t address) {
    return SendCommand(exchange_, {command::kReadLighting, LengthByte(out.size()), address}, {},
                       out);
}

DeviceResult DeviceCommands::WriteLighting(std::span<const uint8_t> data, uint16_t address) {
    return SendCommand(exchange_, {command::kWriteLighting, LengthByte(data.size()), address},
                       data);
}

DeviceResult DeviceCommands::ReadKeyMapBlock(int index, KeyMapBlock& out) {
    if (!IsBlockIndex(index))
        return DeviceResult::BadBlockIndex;
    return ReadTransfer(exchange_, command::kReadKeyMap, KeyMapAddress(index), out);
}

DeviceResult DeviceCommands::WriteKeyMapBlock(int index, const KeyMapBlock& block) {
    if (!IsBlockIndex(index))
        return DeviceResult::BadBlockIndex;
    return exchange_.RunBracketed([&] {
        return Checked(WriteTransfer(exchange_, command::kWriteKeyMap, KeyMapAddress(index), block),
                       command::kWriteKeyMap, KeyMapAddress(index), block);
    });
}

DeviceResult DeviceCommands::ReadMacroMemory(std::span<uint8_t> out) {
    return ReadTransfer(exchange_, command::kReadMacroMemory, 0, out);
}

DeviceResult DeviceCommands::WriteMacroMemory(std::span<const uint8_t> image, uint16_t address) {
    return exchange_.RunBracketed([&] {
        return Checked(WriteTransfer(exchange_, command::kWriteMacroMemory, address, image),
                       command::kWriteMacroMemory, address, image);
    });
}

DeviceResult DeviceCommands::ReadDefaultLayout(KeyMapBlock& out) {
    return ReadTransfer(exchange_, command::kReadDefaultLayout, 0, out);
}

DeviceResult DeviceCommands::ReadKeyColours(uint8_t position, std::span<uint8_t> out) {
    return SendCommand(exchange_,
                       {command::kReadColours, LengthByte(out.size()), ColourAddress(position)}, {},
                       out);
}

DeviceResult DeviceCommands::WriteKeyColours(uint8_t position, std::span<const uint8_t> data) {
    return exchange_.RunBracketed([&] {
        return Checked(
            SendCommand(exchange_,
                        {command::kWriteColours, LengthByte(data.size()), ColourAddress(position)},
                        data),
            command::kWriteColours, ColourAddress(position), data);
    });
}

DeviceResult DeviceCommands::Checked(DeviceResult written, uint8_t command, uint16_t address,
                                     std::span<const uint8_t> bytes) {
    if (written != DeviceResult::Done || !checkWrites_)
        return written;
    return CheckWrittenBytes(exchange_, command, address, bytes, differingFrames_);
}

} // namespace tavrik
