#include "emulator/wire_protocol.h"

#include "emulator/byte_codec.h"

namespace tavrik::emu::wire {

namespace {

constexpr size_t kMaxControlArgs = 16;

bool HasTag(Type type) {
    return type == Type::AsyncRead || type == Type::StatusWrite;
}
bool HasData(Type type) {
    return type == Type::WriteOne || type == Type::StatusWrite;
}

UnitDescriptor ReadDescriptor(ByteReader& in) {
    UnitDescriptor unit;
    unit.matchMask = in.U32();
    unit.vendorId = in.U16();
    unit.productId = in.U16();
    unit.usagePage = in.U16();
    unit.usage = in.U16();
    unit.reserved = in.U32();
    return unit;
}

template <typename T>
std::optional<T> Finished(const ByteReader& in, T value) {
    if (!in.Ok() || !in.AtEnd())
        return std::nullopt;
    return value;
}

} // namespace

std::vector<uint8_t> Encode(Type type, std::span<const uint8_t> body) {
    ByteWriter out;
    out.U32(static_cast<uint32_t>(body.size() + 1));
    out.U8(static_cast<uint8_t>(type));
    out.Bytes(body);
    return out.Take();
}

std::vector<uint8_t> EncodeHello(const Hello& hello) {
    ByteWriter body;
    body.U32(hello.magic);
    body.U32(hello.version);
    return Encode(Type::Hello, body.Data());
}

std::vector<uint8_t> EncodeUnitRequest(Type type, const UnitRequest& request) {
    ByteWriter body;
    body.Bytes(request.unit.Bytes());
    if (HasTag(type))
        body.U32(request.tag);
    if (HasData(type))
        body.Bytes(request.data);
    return Encode(type, body.Data());
}

std::vector<uint8_t> EncodeWord(Type type, uint32_t value) {
    ByteWriter body;
    body.U32(value);
    return Encode(type, body.Data());
}

std::vector<uint8_t> EncodeControl(const std::vector<std::string>& args) {
    ByteWriter body;
    body.U16(static_cast<uint16_t>(args.size()));
    for (const std::string& arg : args) {
        body.U16(static_cast<uint16_t>(arg.size()));
        body.Bytes({reinterpret_cast<const uint8_t*>(arg.data()), arg.size()});
    }
    return Encode(Type::Control, body.Data());
}

std::vector<uint8_t> EncodeResult(const Result& result) {
    ByteWriter body;
    body.U32(static_cast<uint32_t>(result.result));
    body.U32(result.requestId);
    return Encode(Type::Result, body.Data());
}

std::vector<uint8_t> EncodeControlReply(const ControlReply& reply) {
    ByteWriter body;
    body.U8(reply.ok ? 1 : 0);
    body.Bytes({reinterpret_cast<const uint8_t*>(reply.text.data()), reply.text.size()});
    return Encode(Type::ControlReply, body.Data());
}

std::vector<uint8_t> EncodeNotification(const Notification& notification) {
    ByteWriter body;
    body.U32(notification.requestId);
    body.U32(notification.kind);
    body.U32(notification.tag);
    body.U32(notification.lengthOrCount);
    body.Bytes(notification.report);
    return Encode(Type::Notification, body.Data());
}

std::optional<Hello> DecodeHello(std::span<const uint8_t> body) {
    ByteReader in(body);
    Hello hello;
    hello.magic = in.U32();
    hello.version = in.U32();
    return Finished(in, hello);
}

std::optional<UnitRequest> DecodeUnitRequest(Type type, std::span<const uint8_t> body) {
    ByteReader in(body);
    UnitRequest request;
    request.unit = ReadDescriptor(in);
    if (HasTag(type))
        request.tag = in.U32();
    if (HasData(type)) {
        const auto data = in.Rest();
        request.data.assign(data.begin(), data.end());
    }
    return Finished(in, std::move(request));
}

std::optional<uint32_t> DecodeWord(std::span<const uint8_t> body) {
    ByteReader in(body);
    const uint32_t value = in.U32();
    return Finished(in, value);
}

std::optional<std::vector<std::string>> DecodeControl(std::span<const uint8_t> body) {
    ByteReader in(body);
    const size_t count = in.U16();
    if (count > kMaxControlArgs)
        return std::nullopt;
    std::vector<std::string> args;
    for (size_t i = 0; i < count && in.Ok(); ++i) {
        const auto text = in.Bytes(in.U16());
        args.emplace_back(text.begin(), text.end());
    }
    return Finished(in, std::move(args));
}

std::optional<Result> DecodeResult(std::span<const uint8_t> body) {
    ByteReader in(body);
    Result result;
    result.result = static_cast<int32_t>(in.U32());
    result.requestId = in.U32();
    return Finished(in, result);
}

std::optional<ControlReply> DecodeControlReply(std::span<const uint8_t> body) {
    ByteReader in(body);
    ControlReply reply;
    const uint8_t ok = in.U8();
    if (ok > 1)
        return std::nullopt;
    reply.ok = ok == 1;
    const auto text = in.Rest();
    reply.text.assign(text.begin(), text.end());
    return Finished(in, std::move(reply));
}

std::optional<Notification> DecodeNotification(std::span<const uint8_t> body) {
    ByteReader in(body);
    Notification notification;
    notification.requestId = in.U32();
    notification.kind = in.U32();
    notification.tag = in.U32();
    notification.lengthOrCount = in.U32();
    const auto report = in.Rest();
    notification.report.assign(report.begin(), report.end());
    if (notification.kind == static_cast<uint32_t>(NotificationKind::ReportReceived) &&
        notification.lengthOrCount != notification.report.size())
        return std::nullopt;
    return Finished(in, std::move(notification));
}

std::optional<Message> MessageReader::Next() {
    if (broken_ || buffer_.size() < kLengthSize)
        return std::nullopt;
    ByteReader in(buffer_);
    const uint32_t length = in.U32();
    if (length == 0 || length > kMaxBodySize + 1) {
        broken_ = true;
        return std::nullopt;
    }
    if (buffer_.size() - kLengthSize < length)
        return std::nullopt;
    Message message;
    message.type = static_cast<Type>(in.U8());
    const auto body = in.Bytes(length - 1);
    message.body.assign(body.begin(), body.end());
    buffer_.erase(buffer_.begin(),
                  buffer_.begin() + static_cast<std::ptrdiff_t>(kLengthSize + length));
    return message;
}

} // namespace tavrik::emu::wire
