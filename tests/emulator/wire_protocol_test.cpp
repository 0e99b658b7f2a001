#include "emulator/wire_protocol.h"

#include <gtest/gtest.h>

namespace tavrik::emu::wire {
namespace {

// Cuts the one message out of an encoded stream.
Message Single(const std::vector<uint8_t>& encoded) {
    MessageReader reader;
    reader.Append(encoded);
    auto message = reader.Next();
    EXPECT_TRUE(message);
    EXPECT_FALSE(reader.Next());
    return message.value_or(Message{});
}

TEST(WireProtocol, MessagesRoundTrip) {
    const UnitRequest write{kCtrlUnit, 0, std::vector<uint8_t>(64, 7)};
    Message m = Single(EncodeUnitRequest(Type::WriteOne, write));
    EXPECT_EQ(m.type, Type::WriteOne);
    auto request = DecodeUnitRequest(Type::WriteOne, m.body);
    ASSERT_TRUE(request);
    EXPECT_EQ(request->unit, kCtrlUnit);
    EXPECT_EQ(request->data, write.data);

    m = Single(EncodeUnitRequest(Type::StatusWrite, {kLedUnit, 0x004C4544, {5, 3}}));
    request = DecodeUnitRequest(Type::StatusWrite, m.body);
    ASSERT_TRUE(request);
    EXPECT_EQ(request->tag, 0x004C4544u);
    EXPECT_EQ(request->data, (std::vector<uint8_t>{5, 3}));

    m = Single(EncodeNotification({9, 1, 0x434F4E53, 2, {0xFF, 0x02}}));
    const auto notification = DecodeNotification(m.body);
    ASSERT_TRUE(notification);
    EXPECT_EQ(notification->requestId, 9u);
    EXPECT_EQ(notification->report, (std::vector<uint8_t>{0xFF, 0x02}));

    m = Single(EncodeControl({"tap", "19", ""}));
    EXPECT_EQ(DecodeControl(m.body), (std::vector<std::string>{"tap", "19", ""}));

    m = Single(EncodeResult({-103, 4}));
    const auto result = DecodeResult(m.body);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->result, -103);
    EXPECT_EQ(result->requestId, 4u);

    m = Single(EncodeControlReply({false, "unknown command: x"}));
    const auto reply = DecodeControlReply(m.body);
    ASSERT_TRUE(reply);
    EXPECT_FALSE(reply->ok);
    EXPECT_EQ(reply->text, "unknown command: x");
}

TEST(WireProtocol, MalformedBodiesAreRejected) {
    auto notification = Single(EncodeNotification({1, 1, 0, 2, {0xFF, 0x02}})).body;
    notification.pop_back(); // the report is shorter than its stated length
    auto control = Single(EncodeControl({"tap", "19"})).body;
    control.pop_back();
    std::vector<std::string> tooMany(17, "x");
    const auto manyArgs = Single(EncodeControl(tooMany)).body;
    auto hello = Single(EncodeHello({})).body;
    hello.push_back(0);
    EXPECT_FALSE(DecodeNotification(notification));
    EXPECT_FALSE(DecodeControl(control));
    EXPECT_FALSE(DecodeControl(manyArgs));
    EXPECT_FALSE(DecodeHello(hello));
    EXPECT_FALSE(DecodeResult(std::vector<uint8_t>(7)));
    EXPECT_FALSE(DecodeWord(std::vector<uint8_t>(3)));
    EXPECT_FALSE(DecodeUnitRequest(Type::AsyncRead, std::vector<uint8_t>(19)));
    EXPECT_FALSE(DecodeControlReply(std::vector<uint8_t>{2}));
}

TEST(WireProtocol, ReaderReassemblesSplitMessagesAndStopsOnABadLength) {
    const auto first = EncodeResult({1, 2});
    const auto second = EncodeControlReply({true, "ok"});
    std::vector<uint8_t> stream(first);
    stream.insert(stream.end(), second.begin(), second.end());
    MessageReader reader;
    std::vector<Type> types;
    for (uint8_t byte : stream) {
        reader.Append({&byte, 1});
        while (auto message = reader.Next())
            types.push_back(message->type);
    }
    EXPECT_EQ(types, (std::vector<Type>{Type::Result, Type::ControlReply}));

    for (const std::vector<uint8_t>& bad :
         {std::vector<uint8_t>{0, 0, 0, 0}, std::vector<uint8_t>{0x02, 0, 0x40, 0}}) {
        MessageReader broken;
        broken.Append(bad);
        broken.Append(first);
        EXPECT_FALSE(broken.Next());
        EXPECT_TRUE(broken.Broken());
    }
}

} // namespace
} // namespace tavrik::emu::wire
