#pragma once
// The hand-over between a second start and the running instance: one message of three
// little-endian 32-bit words (message, wParam, lParam) sent over the instance socket, answered
// with one 32-bit result once the running instance has handled it. The receiver acts only when
// wParam carries the message's four-character tag.

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace tavrik {

inline constexpr uint32_t MSG_INSTANCE_OPEN = 0x5350;
inline constexpr uint32_t MSG_INSTANCE_KILL = 0x4D4B;
inline constexpr uint32_t kTagOpen = 0x4F50454E; // "OPEN"
inline constexpr uint32_t kTagKill = 0x4C4C494B; // "KILL"

// The message words on the wire.
namespace instance_wire {
inline constexpr size_t kMessage = 0;
inline constexpr size_t kWParam = 4;
inline constexpr size_t kLParam = 8;
inline constexpr size_t kSize = 12;
inline constexpr size_t kReplySize = 4;
} // namespace instance_wire

struct InstanceMessage {
    uint32_t message = 0;
    uint32_t wParam = 0;
    uint32_t lParam = 0;
    bool operator==(const InstanceMessage&) const = default;
};

enum class InstanceCommand { None, Open, Kill };

InstanceMessage MessageForCommand(InstanceCommand command);
// Open or Kill only for a known message with its own tag; None for anything else.
InstanceCommand CommandOfMessage(const InstanceMessage& message);

std::array<uint8_t, instance_wire::kSize> EncodeInstanceMessage(const InstanceMessage& message);
// Nothing unless exactly kSize bytes are given.
std::optional<InstanceMessage> DecodeInstanceMessage(std::span<const uint8_t> bytes);

std::array<uint8_t, instance_wire::kReplySize> EncodeInstanceReply(uint32_t result);
std::optional<uint32_t> DecodeInstanceReply(std::span<const uint8_t> bytes);

} // namespace tavrik
