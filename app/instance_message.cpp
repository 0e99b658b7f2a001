#include "app/instance_message.h"

namespace tavrik {
namespace {

void PutWord(uint8_t* out, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

uint32_t GetWord(std::span<const uint8_t> bytes, size_t offset) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) {
        value |= static_cast<uint32_t>(bytes[offset + i]) << (8 * i);
    }
    return value;
}

} // namespace

InstanceMessage MessageForCommand(InstanceCommand command) {
    switch (command) {
    case InstanceCommand::Open:
        return {MSG_INSTANCE_OPEN, kTagOpen, 0};
    case InstanceCommand::Kill:
        return {MSG_INSTANCE_KILL, kTagKill, 0};
    case InstanceCommand::None:
        break;
    }
    return {};
}

InstanceCommand CommandOfMessage(const InstanceMessage& message) {
    if (message.message == MSG_INSTANCE_OPEN && message.wParam == kTagOpen) {
        return InstanceCommand::Open;
    }
    if (message.message == MSG_INSTANCE_KILL && message.wParam == kTagKill) {
        return InstanceCommand::Kill;
    }
    return InstanceCommand::None;
}

std::array<uint8_t, instance_wire::kSize> EncodeInstanceMessage(const InstanceMessage& message) {
    std::array<uint8_t, instance_wire::kSize> bytes{};
    PutWord(bytes.data() + instance_wire::kMessage, message.message);
    PutWord(bytes.data() + instance_wire::kWParam, message.wParam);
    PutWord(bytes.data() + instance_wire::kLParam, message.lParam);
    return bytes;
}

std::optional<InstanceMessage> DecodeInstanceMessage(std::span<const uint8_t> bytes) {
    if (bytes.size() != instance_wire::kSize) {
        return std::nullopt;
    }
    return InstanceMessage{GetWord(bytes, instance_wire::kMessage),
                           GetWord(bytes, instance_wire::kWParam),
                           GetWord(bytes, instance_wire::kLParam)};
}

std::array<uint8_t, instance_wire::kReplySize> EncodeInstanceReply(uint32_t result) {
    std::array<uint8_t, instance_wire::kReplySize> bytes{};
    PutWord(bytes.data(), result);
    return bytes;
}

std::optional<uint32_t> DecodeInstanceReply(std::span<const uint8_t> bytes) {
    if (bytes.size() != instance_wire::kReplySize) {
        return std::nullopt;
    }
    return GetWord(bytes, 0);
}

} // namespace tavrik
