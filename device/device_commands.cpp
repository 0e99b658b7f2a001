#include "device/device_commands.h"

#include "device/command_frames.h"
#include "device/frame_exchange.h"

#include <algorithm>

namespace tavrik {

namespace {

// The key map blocks sit 512 bytes apart.
inline constexpr uint16_t kKeyMapBlockStride = 512;
inline constexpr uint16_t kColourBytesPerKey = 3;

// The keyboard needs a moment after the last write before it takes the end of the bracket.
inline constexpr std::chrono::milliseconds kPauseBeforeEnd{10};

bool IsBlockIndex(int index) {
    return index >= 0 && index < kKeyMapBlockCount;
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

// The frames a write of `write.bytes` sends, each with the bytes it carries.
std::vector<PlannedWrite> FramesOf(const PlannedWrite& write) {
    std::vector<PlannedWrite> frames;
    for (size_t offset = 0; offset < write.bytes.size(); offset += kFrameDataSize)
        frames.push_back(
            {write.command, static_cast<uint16_t>(write.address + offset),
             write.bytes.subspan(offset, std::min(kFrameDataSize, write.bytes.size() - offset))});
    return frames;
}

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

uint16_t KeyMapBlockAddress(int index) {
    return static_cast<uint16_t>(index * kKeyMapBlockStride);
}

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
    const uint16_t address = KeyMapBlockAddress(index);
    return Remembered(ReadTransfer(exchange_, command::kReadKeyMap, address, out),
                      command::kReadKeyMap, address, out);
}

DeviceResult DeviceCommands::WriteKeyMapBlock(int index, const KeyMapBlock& block) {
    if (!IsBlockIndex(index))
        return DeviceResult::BadBlockIndex;
    return WriteChangedFrames(command::kWriteKeyMap, KeyMapBlockAddress(index), block);
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

DeviceResult DeviceCommands::ConfirmKnownFrames(std::span<const PlannedWrite> writes) {
    if (writeEveryFrame_)
        return DeviceResult::Done;
    return exchange_.RunBracketed([&] {
        std::vector<PlannedWrite> confirmed;
        for (const PlannedWrite& write : writes) {
            for (const PlannedWrite& frame : FramesOf(write)) {
                if (!KnownToHold(frame.command, frame.address, frame.bytes))
                    continue; // believed to differ: it is written anyway, reading it first is waste
                std::array<uint8_t, kFrameDataSize> buffer{};
                const std::span<uint8_t> held = std::span(buffer).first(frame.bytes.size());
                const uint8_t read = ReadBackCommandFor(frame.command);
                const DeviceResult result = Remembered(
                    ReadTransfer(exchange_, read, frame.address, held), read, frame.address, held);
                if (result != DeviceResult::Done)
                    return result;
                if (!std::ranges::equal(held, frame.bytes)) {
                    // Believed wrongly: whatever wrote it did not take turns, and may have written
                    // anywhere. Reading on would cost three frames for each frame it changed.
                    confirmed.push_back({frame.command, frame.address, held});
                    KeepOnly(confirmed);
                    return DeviceResult::Done;
                }
                confirmed.push_back(frame);
            }
        }
        return DeviceResult::Done;
    });
}

void DeviceCommands::KeepOnly(std::span<const PlannedWrite> sure) {
    known_.ForgetAll();
    for (const PlannedWrite& frame : sure)
        known_.Learn(ReadBackCommandFor(frame.command), frame.address, frame.bytes);
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
