#include "emulator/command_processor.h"

#include <algorithm>
#include <optional>

namespace tavrik::emu {

namespace {

enum class Access { Read, Write };

struct AreaCommand {
    uint8_t code;
    Area area;
    Access access;
};

constexpr AreaCommand kAreaCommands[] = {
    {command::kReadSettings, Area::Settings, Access::Read},
    {command::kWriteSettings, Area::Settings, Access::Write},
    {command::kReadLighting, Area::Lighting, Access::Read},
    {command::kWriteLighting, Area::Lighting, Access::Write},
    {command::kReadKeyMap, Area::KeyMaps, Access::Read},
    {command::kWriteKeyMap, Area::KeyMaps, Access::Write},
    {command::kReadMacroMemory, Area::MacroMemory, Access::Read},
    {command::kWriteMacroMemory, Area::MacroMemory, Access::Write},
    {command::kReadDefaultLayout, Area::DefaultLayout, Access::Read},
    {command::kReadColours, Area::Colours, Access::Read},
    {command::kWriteColours, Area::Colours, Access::Write},
};

std::optional<AreaCommand> FindAreaCommand(uint8_t code) {
    const auto* found = std::find_if(std::begin(kAreaCommands), std::end(kAreaCommands),
                                     [code](const AreaCommand& c) { return c.code == code; });
    if (found == std::end(kAreaCommands))
        return std::nullopt;
    return *found;
}

bool IsWellFormed(std::span<const uint8_t, kFrameSize> request) {
    const uint16_t stated =
        static_cast<uint16_t>(request[frame::kChecksumLow] | (request[frame::kChecksumHigh] << 8));
    return request[frame::kReportId] == kConfigReportId && stated == FrameChecksum(request);
}

// The settings block mixes one setting (the active profile) with facts of the hardware (macro
// capacity, offered effects) and bytes the keyboard keeps for itself. A write changes the setting
// and the keyboard's own bytes; the hardware facts stay what they are.
bool WriteSettings(KeyboardMemory& memory, uint16_t address, std::span<const uint8_t> data) {
    DeviceSettings updated = memory.settings;
    std::copy(data.begin(), data.end(), updated.begin() + address);
    if (updated[settings_byte::kActiveProfile] >= kKeyMapBlockCount)
        return false;
    const auto factsBegin = settings_byte::kMacroCapacityUnits;
    const auto factsEnd = settings_byte::kFirstEffect + settings_byte::kEffectSlots;
    std::copy(memory.settings.begin() + factsBegin, memory.settings.begin() + factsEnd,
              updated.begin() + factsBegin);
    memory.settings = updated;
    return true;
}

void ClearColourPadding(KeyboardMemory& memory) {
    std::fill(memory.colours.begin() + kKeyColourTableSize, memory.colours.end(), 0);
}

} // namespace

ConfigFrame AnswerHeader(std::span<const uint8_t, kFrameSize> request, uint8_t status) {
    ConfigFrame answer{};
    answer[frame::kReportId] = kConfigReportId;
    answer[frame::kCommand] = request[frame::kCommand];
    answer[frame::kLength] = request[frame::kLength];
    answer[frame::kAddressLow] = request[frame::kAddressLow];
    answer[frame::kAddressHigh] = request[frame::kAddressHigh];
    answer[frame::kStatus] = status;
    return answer;
}

ConfigFrame CommandProcessor::Answer(KeyboardMemory& memory,
                                     std::span<const uint8_t, kFrameSize> request) {
    ConfigFrame answer = AnswerHeader(request, kStatusAccepted);
    answer[frame::kStatus] = Execute(memory, request, answer);
    StampFrameChecksum(answer);
    return answer;
}

uint8_t CommandProcessor::Execute(KeyboardMemory& memory,
                                  std::span<const uint8_t, kFrameSize> request,
                                  ConfigFrame& answer) {
    if (!IsWellFormed(request))
        return kStatusRefusedFF;
    const uint8_t code = request[frame::kCommand];
    if (code == command::kBegin || code == command::kEnd) {
        inConfiguration_ = code == command::kBegin;
        return kStatusAccepted;
    }
    const auto areaCommand = FindAreaCommand(code);
    if (!areaCommand)
        return kStatusRefusedFF;
    const size_t length = request[frame::kLength];
    if (length > kFrameDataSize)
        return kStatusRefusedFE;
    const uint16_t address =
        static_cast<uint16_t>(request[frame::kAddressLow] | (request[frame::kAddressHigh] << 8));
    const auto bytes = AreaBytes(memory, areaCommand->area, address, length);
    if (!bytes)
        return kStatusRefusedFE;
    if (areaCommand->access == Access::Read) {
        std::copy(bytes->begin(), bytes->end(), answer.begin() + frame::kData);
        return kStatusAccepted;
    }
    const auto data = request.subspan(frame::kData, length);
    if (areaCommand->area == Area::Settings) {
        if (!WriteSettings(memory, address, data))
            return kStatusRefusedFE;
    } else {
        std::copy(data.begin(), data.end(), bytes->begin());
        FlipStoredByte(areaCommand->area, address, *bytes);
        if (areaCommand->area == Area::Colours)
            ClearColourPadding(memory);
    }
    if (!inConfiguration_)
        ++writesOutsideBracket_;
    return kStatusAccepted;
}

void CommandProcessor::FlipStoredByte(Area area, uint16_t address,
                                      std::span<uint8_t> stored) const {
    if (!storedByteFlip_ || storedByteFlip_->area != area || storedByteFlip_->address < address)
        return;
    const size_t at = storedByteFlip_->address - address;
    if (at < stored.size())
        stored[at] ^= 0xFF;
}

} // namespace tavrik::emu
