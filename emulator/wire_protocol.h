#pragma once
// The messages between tavrik-emu's socket server and its clients. Every message is a u32
// little-endian length (of what follows), a u8 type and the type's body; docs/emulator-protocol.md
// describes each body. Bodies are decoded field by field; a message that does not decode is a
// protocol error and ends the connection.

#include "device/hid_bridge.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tavrik::emu::wire {

inline constexpr uint32_t kMagic = 0x454B5654; // "TVKE"
inline constexpr uint32_t kVersion = 1;
inline constexpr uint32_t kMaxBodySize = 4 * 1024 * 1024; // the longest `typed` listing fits
inline constexpr size_t kLengthSize = 4;

enum class Type : uint8_t {
    // client to server
    Hello = 0x01,
    GetDeviceCount = 0x02,
    AsyncRead = 0x03,
    DeleteRequest = 0x04,
    WriteOne = 0x05,
    StatusWrite = 0x06,
    Control = 0x07,
    // server to client
    HelloReply = 0x81,
    Result = 0x82,
    ControlReply = 0x83,
    Notification = 0x90,
};

struct Message {
    Type type = Type::Hello;
    std::vector<uint8_t> body;
};

// Bodies.
struct Hello {
    uint32_t magic = kMagic;
    uint32_t version = kVersion;
};
struct UnitRequest { // GetDeviceCount, AsyncRead, WriteOne, StatusWrite
    UnitDescriptor unit;
    uint32_t tag = 0;          // AsyncRead and StatusWrite only
    std::vector<uint8_t> data; // WriteOne and StatusWrite only
};
struct Result {
    int32_t result = 0;
    uint32_t requestId = 0;
};
struct ControlReply {
    bool ok = false;
    std::string text;
};
struct Notification {
    uint32_t requestId = 0;
    uint32_t kind = 0;
    uint32_t tag = 0;
    uint32_t lengthOrCount = 0;
    std::vector<uint8_t> report;
};

// The whole message, length prefix included.
std::vector<uint8_t> Encode(Type type, std::span<const uint8_t> body);

std::vector<uint8_t> EncodeHello(const Hello& hello);
std::vector<uint8_t> EncodeUnitRequest(Type type, const UnitRequest& request);
// A body of one u32: the server's version (HelloReply) or a request id (DeleteRequest).
std::vector<uint8_t> EncodeWord(Type type, uint32_t value);
std::vector<uint8_t> EncodeControl(const std::vector<std::string>& args);
std::vector<uint8_t> EncodeResult(const Result& result);
std::vector<uint8_t> EncodeControlReply(const ControlReply& reply);
std::vector<uint8_t> EncodeNotification(const Notification& notification);

std::optional<Hello> DecodeHello(std::span<const uint8_t> body);
std::optional<UnitRequest> DecodeUnitRequest(Type type, std::span<const uint8_t> body);
std::optional<uint32_t> DecodeWord(std::span<const uint8_t> body);
std::optional<std::vector<std::string>> DecodeControl(std::span<const uint8_t> body);
std::optional<Result> DecodeResult(std::span<const uint8_t> body);
std::optional<ControlReply> DecodeControlReply(std::span<const uint8_t> body);
std::optional<Notification> DecodeNotification(std::span<const uint8_t> body);

// Collects bytes from a stream and cuts whole messages out of them.
class MessageReader {
public:
    void Append(std::span<const uint8_t> bytes) {
        buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
    }
    // The next whole message, if one has arrived. A length of 0 or above kMaxBodySize + 1 makes
    // the stream broken for good.
    std::optional<Message> Next();
    bool Broken() const { return broken_; }

private:
    std::vector<uint8_t> buffer_;
    bool broken_ = false;
};

} // namespace tavrik::emu::wire
