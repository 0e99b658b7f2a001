// The request/answer exchange against the emulated keyboard and its faults, and against a
// scripted transport for answers no well-behaved keyboard sends.
#include "device/command_frames.h"
#include "keyboard_rig.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

namespace tavrik {
namespace {

using namespace std::chrono_literals;
using test::KeyboardRig;
using test::Timing;
using ::testing::Each;

ConfigFrame Request(uint8_t command, uint8_t length = 0) {
    ConfigFrame request{};
    request[frame::kReportId] = kConfigReportId;
    request[frame::kCommand] = command;
    request[frame::kLength] = length;
    StampFrameChecksum(request);
    return request;
}

TEST(FrameExchange, BareBeginCommandGoesOutWithChecksumOne) {
    KeyboardRig rig;
    EXPECT_EQ(rig.commands.BeginConfiguration(), DeviceResult::Done);
    const auto frames = rig.log.Frames();
    ASSERT_EQ(frames.size(), 1u);
    ConfigFrame expected{};
    expected[frame::kReportId] = 4;
    expected[frame::kChecksumLow] = 0x01;
    expected[frame::kCommand] = 1;
    EXPECT_EQ(frames[0], expected);
}

TEST(FrameExchange, WithoutKeyboardNothingIsSent) {
    KeyboardRig rig({}, /*plugged=*/false);
    ConfigFrame answer{};
    size_t answerLength = 99;
    EXPECT_EQ(rig.exchange.ExchangeFrame(Request(1), answer, answerLength),
              DeviceResult::NoKeyboard);
    EXPECT_EQ(answerLength, 0u);
    EXPECT_EQ(rig.keyboard.FramesReceived(), 0);
    EXPECT_TRUE(rig.log.Frames().empty());
}

// One counter covers time-outs, wrong echoes and refusals: at most three frames per exchange,
// with a 10 ms pause before each repeat and a 1000 ms wait for each missing answer.
TEST(FrameExchange, RetriesFaultsUpToThreeFrames) {
    struct Case {
        emu::Fault fault;
        int faultyFrames;
        DeviceResult result;
        int framesSent;
        std::chrono::milliseconds virtualTime;
    };
    const Case cases[] = {
        {emu::Fault::None, 0, DeviceResult::Done, 1, 0ms},
        {emu::Fault::Silent, 3, DeviceResult::NoAnswer, 3, 3020ms},
        {emu::Fault::Silent, 2, DeviceResult::Done, 3, 2020ms},
        // A report echoing another command is no answer: the exchange waits for its own.
        {emu::Fault::WrongEcho, 1, DeviceResult::Done, 2, 1010ms},
        {emu::Fault::WrongEcho, 3, DeviceResult::NoAnswer, 3, 3020ms},
        {emu::Fault::RefuseFE, 3, DeviceResult::RefusedFE, 3, 20ms},
        {emu::Fault::RefuseFF, 3, DeviceResult::RefusedFF, 3, 20ms},
        {emu::Fault::RefuseFE, 2, DeviceResult::Done, 3, 20ms},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "fault " << static_cast<int>(c.fault) << " x" << c.faultyFrames);
        KeyboardRig rig;
        rig.keyboard.SetFault(c.fault, c.faultyFrames);
        EXPECT_EQ(rig.commands.BeginConfiguration(), c.result);
        EXPECT_EQ(rig.keyboard.FramesReceived(), c.framesSent);
        EXPECT_EQ(rig.clock.Elapsed(), c.virtualTime);
        for (const auto& repeat : rig.log.Frames())
            EXPECT_EQ(repeat, rig.log.Frames().front()); // the same frame every time
    }
}

TEST(FrameExchange, RefusalOnTheLastAttemptLeavesTheAnswerForTheCaller) {
    KeyboardRig rig;
    rig.keyboard.SetFault(emu::Fault::RefuseFF, 3);
    ConfigFrame answer{};
    size_t answerLength = 0;
    EXPECT_EQ(rig.exchange.ExchangeFrame(Request(3, 28), answer, answerLength), DeviceResult::Done);
    EXPECT_EQ(answerLength, kFrameSize);
    EXPECT_EQ(answer[frame::kStatus], kStatusRefusedFF);
}

TEST(FrameExchange, ThreeTimeOutsTakeThreeSecondsOnTheRealClock) {
    KeyboardRig rig({}, true, Timing::Real);
    rig.keyboard.SetFault(emu::Fault::Silent, 3);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(rig.commands.BeginConfiguration(), DeviceResult::NoAnswer);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 2900ms);
    EXPECT_EQ(rig.keyboard.FramesReceived(), 3);
}

TEST(FrameExchange, AnswerAfterATimeOutIsDropped) {
    KeyboardRig rig;
    rig.keyboard.SetFault(emu::Fault::Silent, 3);
    EXPECT_EQ(rig.commands.BeginConfiguration(), DeviceResult::NoAnswer);
    const ConfigFrame late = [] {
        ConfigFrame f = Request(3);
        f[frame::kData] = 0x77;
        return f;
    }();
    rig.exchange.DeliverAnswer(late.data(), late.size()); // nobody waits: dropped
    DeviceSettings settings{};
    EXPECT_EQ(rig.commands.ReadSettings(settings), DeviceResult::Done);
    EXPECT_NE(settings[0], 0x77);
}

using Report = std::vector<uint8_t>;

// A transport whose keyboard answers each frame with whatever the test scripted (one or several
// reports a frame), at once and on the writing thread.
class ScriptedBridge final : public HidBridge {
public:
    explicit ScriptedBridge(std::vector<std::vector<Report>> reportsPerFrame)
        : reportsPerFrame_(std::move(reportsPerFrame)) {}

    FrameExchange* exchange = nullptr;
    int framesWritten = 0;

    int32_t RequestGetDeviceCount(const UnitDescriptor&, uint32_t) override { return 1; }
    int32_t RequestAsyncRead(const UnitDescriptor&, const UnitCallback*, UnitTag, uint32_t,
                             uint32_t*) override {
        return 1;
    }
    int32_t DeleteRequestFromUnitId(uint32_t) override { return 1; }
    int32_t RequestWriteOne(const UnitDescriptor&, std::span<const uint8_t>, uint32_t) override {
        const size_t frame = static_cast<size_t>(framesWritten++) % reportsPerFrame_.size();
        for (const Report& report : reportsPerFrame_.at(frame))
            exchange->DeliverAnswer(report.data(), report.size());
        return static_cast<int32_t>(kFrameSize);
    }
    int32_t RequestStatusWrite(const UnitDescriptor&, const UnitCallback*, UnitTag,
                               std::span<const uint8_t>, uint32_t, uint32_t*) override {
        return 1;
    }

private:
    std::vector<std::vector<Report>> reportsPerFrame_;
};

// The answer to a settings read (command 3, 28 bytes at address 0), `size` bytes long.
Report Answer(size_t size, uint8_t fill) {
    Report answer(size, fill);
    const auto header = Request(3, 28);
    std::copy_n(header.begin(), std::min(size, frame::kData), answer.begin());
    answer.at(frame::kStatus) = 0;
    return answer;
}

Report WithByte(Report report, size_t at, uint8_t value) {
    report.at(at) = value;
    return report;
}

// The command set on a ScriptedBridge, with virtual time.
struct ScriptedKeyboard {
    explicit ScriptedKeyboard(std::vector<std::vector<Report>> reportsPerFrame)
        : bridge(std::move(reportsPerFrame)) {
        bridge.exchange = &exchange;
    }
    ScriptedBridge bridge;
    test::ManualClock clock;
    FrameExchange exchange{bridge, clock};
    DeviceCommands commands{exchange};
};

// Reports are copied only into the frame-sized answer buffer, and an answer that does not
// fill a whole frame cannot carry the echo, status and data: it counts as no answer.
TEST(FrameExchange, AnswersOfTheWrongSizeStayInsideTheFrame) {
    struct Case {
        const char* name;
        std::vector<std::vector<Report>> answers;
        DeviceResult result;
        int frames;
        size_t answerLength;
    };
    const Case cases[] = {
        {"oversized answer cut to the frame", {{Answer(300, 0x5A)}}, DeviceResult::Done, 1, 64},
        {"short answer", {{Answer(kFrameSize - 1, 0x5A)}}, DeviceResult::NoAnswer, 3, 0},
        {"header-only answer, then a whole one",
         {{Answer(8, 0x5A)}, {Answer(kFrameSize, 0x5A)}},
         DeviceResult::Done,
         2,
         64},
        {"empty report", {{Report{}}}, DeviceResult::NoAnswer, 3, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedKeyboard keyboard(c.answers);
        std::array<uint8_t, kFrameSize + 8> guarded{};
        guarded.fill(0xEE);
        size_t answerLength = 0;
        EXPECT_EQ(keyboard.exchange.ExchangeFrame(
                      Request(3, 28), std::span<uint8_t, kFrameSize>(guarded.data(), kFrameSize),
                      answerLength),
                  c.result);
        EXPECT_EQ(keyboard.bridge.framesWritten, c.frames);
        EXPECT_EQ(answerLength, c.answerLength);
        EXPECT_THAT(std::span(guarded).last(8), Each(0xEE));
    }
}

// Every program with the keyboard open receives every answer it sends. Reports that are not the
// answer to this request arrive first; the exchange takes only its own, from the same frame.
TEST(FrameExchange, TakesOnlyTheAnswerThatEchoesItsRequest) {
    const Report own = Answer(kFrameSize, 0x11);
    struct Case {
        const char* name;
        Report foreign;
    };
    const Case cases[] = {
        {"another command", WithByte(Answer(kFrameSize, 0x22), frame::kCommand, 7)},
        {"another length", WithByte(Answer(kFrameSize, 0x22), frame::kLength, 56)},
        {"another address, low byte", WithByte(Answer(kFrameSize, 0x22), frame::kAddressLow, 56)},
        {"another address, high byte", WithByte(Answer(kFrameSize, 0x22), frame::kAddressHigh, 2)},
        {"a refusal of another request",
         WithByte(WithByte(Answer(kFrameSize, 0x22), frame::kLength, 3), frame::kStatus,
                  kStatusRefusedFE)},
        {"too short to be a frame", Answer(frame::kData, 0x22)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedKeyboard keyboard({{c.foreign, c.foreign, own}});
        DeviceSettings settings{};
        EXPECT_EQ(keyboard.commands.ReadSettings(settings), DeviceResult::Done);
        EXPECT_EQ(keyboard.bridge.framesWritten, 1);
        EXPECT_THAT(settings, Each(0x11));
        EXPECT_EQ(keyboard.clock.Elapsed(), 0ms);
    }
}

// Foreign answers alone never end the wait early, and are never taken.
TEST(FrameExchange, ForeignAnswersAloneAreNoAnswer) {
    ScriptedKeyboard keyboard({{WithByte(Answer(kFrameSize, 0x22), frame::kAddressLow, 56)}});
    DeviceSettings settings{};
    EXPECT_EQ(keyboard.commands.ReadSettings(settings), DeviceResult::NoAnswer);
    EXPECT_EQ(keyboard.bridge.framesWritten, 3);
    EXPECT_EQ(keyboard.clock.Elapsed(), 3020ms);
    EXPECT_THAT(settings, Each(0));
}

} // namespace
} // namespace tavrik
