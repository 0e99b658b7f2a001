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

struct FrameRun {
    uint16_t address = 0;
    size_t length = 0;
};

// Frames sent one right after the other, as runs that are read back together, in the frames
// they were written in.
std::vector<FrameRun> ConsecutiveRuns(const std::vector<CommandHeader>& sent) {
    std::vector<FrameRun> runs;
    for (const CommandHeader& frame : sent) {
        if (!runs.empty() && runs.back().address + runs.back().length == frame.address)
            runs.back().length += frame.length;
        else
            runs.push_back({frame.address, frame.length});
    }
    return runs;
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
    const uint16_t address = KeyMapAddress(index);
    return Remembered(ReadTransfer(exchange_, command::kReadKeyMap, address, out),
                      command::kReadKeyMap, address, out);
}

DeviceResult DeviceCommands::WriteKeyMapBlock(int index, const KeyMapBlock& block) {
    if (!IsBlockIndex(index))
        return DeviceResult::BadBlockIndex;
    return WriteChangedFrames(command::kWriteKeyMap, KeyMapAddress(index), block);
}

DeviceResult DeviceCommands::ReadMacroMemory(std::span<uint8_t> out) {
    return Remembered(ReadTransfer(exchange_, command::kReadMacroMemory, 0, out),
                      command::kReadMacroMemory, 0, out);
}

DeviceResult DeviceCommands::WriteMacroMemory(std::span<const uint8_t> image, uint16_t address) {
    return WriteChangedFrames(command::kWriteMacroMemory, address, image);
}

DeviceResult DeviceCommands::ReadDefaultLayout(KeyMapBlock& out) {
    return ReadTransfer(exchange_, command::kReadDefaultLayout, 0, out);
}

DeviceResult DeviceCommands::ReadKeyColours(uint8_t position, std::span<uint8_t> out) {
    const uint16_t address = ColourAddress(position);
    return Remembered(
        SendCommand(exchange_, {command::kReadColours, LengthByte(out.size()), address}, {}, out),
        command::kReadColours, address, out);
}

DeviceResult DeviceCommands::WriteKeyColours(uint8_t position, std::span<const uint8_t> data) {
    if (data.size() > kFrameDataSize)
        return DeviceResult::BadBlockIndex;
    return WriteChangedFrames(command::kWriteColours, ColourAddress(position), data);
}

bool DeviceCommands::KnownToHold(uint8_t writeCommand, uint16_t address,
                                 std::span<const uint8_t> bytes) const {
    return !writeEveryFrame_ && known_.Holds(ReadBackCommandFor(writeCommand), address, bytes);
}

DeviceResult DeviceCommands::WriteChangedFrames(uint8_t command, uint16_t address,
                                                std::span<const uint8_t> bytes) {
    return exchange_.RunBracketed([&] {
        std::vector<CommandHeader> sent;
        const FrameChoice sendChanged = [&](const CommandHeader& frame,
                                            std::span<const uint8_t> data) {
            if (KnownToHold(command, frame.address, data))
                return false;
            // Not known again until it has been read back.
            known_.Forget(ReadBackCommandFor(command), frame.address, frame.length);
            sent.push_back(frame);
            return true;
        };
        DeviceResult result = WriteTransfer(exchange_, command, address, bytes, sendChanged);
        if (result == DeviceResult::Done)
            result = CheckSentFrames(command, address, bytes, sent);
        // A keyboard that refused part of a write, or stored something else, may hold anything.
        if (result != DeviceResult::Done)
            known_.ForgetAll();
        return result;
    });
}

DeviceResult DeviceCommands::CheckSentFrames(uint8_t command, uint16_t address,
                                             std::span<const uint8_t> bytes,
                                             const std::vector<CommandHeader>& sent) {
    if (!checkWrites_)
        return DeviceResult::Done;
    DeviceResult result = DeviceResult::Done;
    for (const FrameRun& frames : ConsecutiveRuns(sent)) {
        const std::span<const uint8_t> run = bytes.subspan(frames.address - address, frames.length);
        const DeviceResult checked =
            CheckWrittenBytes(exchange_, command, frames.address, run, differingFrames_);
        if (checked == DeviceResult::Done)
            known_.Learn(ReadBackCommandFor(command), frames.address, run);
        else if (checked == DeviceResult::DiffersAfterWrite)
            result = checked; // the other runs are still checked, to name every differing frame
        else
            return checked;
    }
    return result;
}

DeviceResult DeviceCommands::Remembered(DeviceResult read, uint8_t command, uint16_t address,
                                        std::span<const uint8_t> bytes) {
    if (read == DeviceResult::Done)
        known_.Learn(command, address, bytes);
    else // a keyboard that fails a read may not hold what was read from it before either
        known_.ForgetAll();
    return read;
}

} // namespace tavrik
