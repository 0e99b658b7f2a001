#include "emulator/keyboard_firmware.h"

#include "emulator/keyboard_events.h"

#include <algorithm>

namespace tavrik::emu {

namespace {

std::vector<uint8_t> ConsumerReport(uint16_t code) {
    return {static_cast<uint8_t>(code & 0xFF), static_cast<uint8_t>(code >> 8)};
}

// The next non-zero effect of the offered list after `current`, wrapping; 0 when none is offered.
uint8_t NextOfferedEffect(const DeviceSettings& settings, uint8_t current) {
    const auto first = settings.begin() + settings_byte::kFirstEffect;
    const auto last = first + settings_byte::kEffectSlots;
    auto at = std::find(first, last, current);
    for (size_t step = 0; step < settings_byte::kEffectSlots; ++step) {
        at = (at == last || at + 1 == last) ? first : at + 1;
        if (*at != 0)
            return *at;
    }
    return 0;
}

} // namespace

KeyboardFirmware::KeyboardFirmware(const FirmwareConfig& config)
    : memory_(FreshMemory(config)) {}

ConfigFrame KeyboardFirmware::Answer(std::span<const uint8_t, kFrameSize> request) {
    return commands_.Answer(memory_, request);
}

void KeyboardFirmware::ToggleBank() {
    bank_ ^= 1;
    SendConsumerEvent(keyboard_event::kBankToggled);
}

void KeyboardFirmware::LightingHotKey() {
    if (const uint8_t next = NextOfferedEffect(memory_.settings, memory_.lighting[0]))
        memory_.lighting[0] = next;
    SendConsumerEvent(keyboard_event::kLightingChanged);
}

void KeyboardFirmware::SendConsumerEvent(uint16_t code) {
    outbox_.push_back({UnitTag::Cons, ConsumerReport(code)});
}

void KeyboardFirmware::Press(uint8_t position) {
    typist_.Press(position, memory_);
    CollectTypingEvents();
}

void KeyboardFirmware::Release(uint8_t position) {
    typist_.Release(position);
    CollectTypingEvents();
}

void KeyboardFirmware::Advance(uint64_t ms) {
    typist_.Advance(ms);
    CollectTypingEvents();
}

void KeyboardFirmware::RunUntilIdle() {
    typist_.RunUntilIdle();
    CollectTypingEvents();
}

std::vector<OutputReport> KeyboardFirmware::TakeReports() {
    std::vector<OutputReport> taken;
    taken.swap(outbox_);
    return taken;
}

void KeyboardFirmware::PowerOff() {
    commands_.Reset();
    typist_.PowerOff();
    typist_.Output().events.clear();
    outbox_.clear();
    bank_ = 0;
}

void KeyboardFirmware::LoadMemory(KeyboardMemory memory) {
    typist_.ReleaseEverything();
    CollectTypingEvents();
    memory_ = std::move(memory);
}

void KeyboardFirmware::CollectTypingEvents() {
    for (uint16_t code : typist_.Output().events)
        SendConsumerEvent(code);
    typist_.Output().events.clear();
}

} // namespace tavrik::emu
