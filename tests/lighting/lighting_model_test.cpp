// The lighting operations against the emulated keyboard: the bytes each one leaves in the
// keyboard's LightingParams and KeyColourTable, and the frames it sends.

#include "lighting/lighting_model.h"
#include "tests/device/keyboard_rig.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numeric>
#include <optional>

namespace tavrik {
namespace {

using test::KeyboardRig;
using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

constexpr uint8_t kBegin = 1;
constexpr uint8_t kEnd = 2;
constexpr uint8_t kReadSettings = 3;
constexpr uint8_t kReadLighting = 5;
constexpr uint8_t kWriteLighting = 6;
constexpr uint8_t kReadColours = 16;
constexpr uint8_t kWriteColours = 17;

// One configuration frame as the tests look at it.
struct LoggedFrame {
    uint8_t command = 0;
    uint16_t address = 0;
    std::vector<uint8_t> data; // the data bytes the length byte covers
};

LoggedFrame Parsed(const ConfigFrame& frame) {
    const size_t length = std::min<size_t>(frame[frame::kLength], kFrameDataSize);
    return {
        frame[frame::kCommand], FrameAddress(frame),
        std::vector<uint8_t>(frame.begin() + frame::kData, frame.begin() + frame::kData + length)};
}

emu::FirmwareConfig OfferingEffects(std::initializer_list<uint8_t> effects) {
    emu::FirmwareConfig config;
    config.offeredEffects.fill(0);
    std::copy(effects.begin(), effects.end(), config.offeredEffects.begin());
    return config;
}

// An attached keyboard and a lighting model on it.
class LightingTest : public ::testing::Test {
protected:
    explicit LightingTest(emu::FirmwareConfig config = {})
        : rig_(std::move(config)) {}

    // The lighting model after a first read, with the frame log emptied.
    LightingModel& ReadModel(bool withKeyTable = true) {
        EXPECT_EQ(model_.ReadLightingState(withKeyTable), DeviceResult::Done);
        rig_.log.Clear();
        return model_;
    }

    emu::LightingBytes KeyboardLighting() {
        return rig_.keyboard.WithFirmware(
            [](emu::KeyboardFirmware& f) { return f.Memory().lighting; });
    }
    std::array<uint8_t, emu::kColourAreaSize> KeyboardColours() {
        return rig_.keyboard.WithFirmware(
            [](emu::KeyboardFirmware& f) { return f.Memory().colours; });
    }
    // The (address, data) of every lighting parameter write, bracket frames left out.
    std::vector<std::pair<uint16_t, std::vector<uint8_t>>> LightingWrites() const {
        std::vector<std::pair<uint16_t, std::vector<uint8_t>>> writes;
        for (const LoggedFrame& logged : Frames()) {
            if (logged.command == kWriteLighting)
                writes.emplace_back(logged.address, logged.data);
        }
        return writes;
    }
    std::vector<LoggedFrame> Frames() const {
        std::vector<LoggedFrame> frames;
        for (const ConfigFrame& frame : rig_.log.Frames())
            frames.push_back(Parsed(frame));
        return frames;
    }
    std::vector<uint8_t> Commands() const { return rig_.log.Commands(); }

    KeyboardRig rig_;
    LightingPreferences storedPreferences_{3, true};
    LightingModel model_{rig_.commands, [this] { return storedPreferences_; }};
};

struct WriteCase {
    const char* name;
    std::function<void(LightingModel&)> action;
    std::vector<std::pair<uint16_t, std::vector<uint8_t>>> writes; // each in its own bracket
};

TEST_F(LightingTest, EachChangeWritesItsBytesInOneBracket) {
    const WriteCase cases[] = {
        {"speed slider 0", [](LightingModel& m) { m.SetSpeedFromSlider(0); }, {{2, {25}}}},
        {"speed slider 20", [](LightingModel& m) { m.SetSpeedFromSlider(20); }, {{2, {5}}}},
        {"speed slider 25", [](LightingModel& m) { m.SetSpeedFromSlider(25); }, {{2, {0}}}},
        {"speed slider past the end",
         [](LightingModel& m) { m.SetSpeedFromSlider(40); },
         {{2, {0}}}},
        {"brightness 13", [](LightingModel& m) { m.SetBrightness(13); }, {{1, {13}}}},
        {"brightness below 0", [](LightingModel& m) { m.SetBrightness(-3); }, {{1, {0}}}},
        {"direction right",
         [](LightingModel& m) { m.SetDirection(LightingDirection::Right); },
         {{4, {1}}}},
        {"effect 3", [](LightingModel& m) { m.SelectEffect(3); }, {{0, {3}}}},
        {"effect 4 then rainbow flag B",
         [](LightingModel& m) { m.SelectEffect(4); },
         {{0, {4}}, {23, {0}}}},
        {"effect 5 then rainbow flag A",
         [](LightingModel& m) { m.SelectEffect(5); },
         {{0, {5}}, {18, {0}}}},
        {"effect 10 by its own number", [](LightingModel& m) { m.SelectEffect(10); }, {{0, {10}}}},
        {"grid trigger",
         [](LightingModel& m) { m.SetOption(LightingOption::TriggerArea, TwoWayChoice::Second); },
         {{7, {1}}}},
        {"alternating breathing",
         [](LightingModel& m) { m.SetOption(LightingOption::Breathing, TwoWayChoice::Second); },
         {{9, {1}}}},
    };
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.name);
        LightingModel& model = ReadModel();
        const emu::LightingBytes before = KeyboardLighting();
        c.action(model);

        EXPECT_EQ(LightingWrites(), c.writes);
        std::vector<uint8_t> commands{kBegin};
        commands.insert(commands.end(), c.writes.size(), kWriteLighting);
        commands.push_back(kEnd);
        EXPECT_EQ(Commands(), commands);
        emu::LightingBytes expected = before;
        for (const auto& [address, data] : c.writes)
            expected[address] = data[0];
        EXPECT_EQ(KeyboardLighting(), expected);
    }
}

TEST_F(LightingTest, InvalidEffectsAndPositionsSendNothing) {
    LightingModel& model = ReadModel();
    EXPECT_EQ(model.SelectEffect(0), DeviceResult::BadBlockIndex);
    EXPECT_EQ(model.SelectEffect(11), DeviceResult::BadBlockIndex);
    EXPECT_EQ(model.PaintKey(160), DeviceResult::BadBlockIndex);
    EXPECT_THAT(Frames(), IsEmpty());
}

TEST_F(LightingTest, TheMarkedChoiceSendsNothingAndTheOtherSendsOnce) {
    LightingModel& model = ReadModel(); // the factory lighting has every first choice marked
    EXPECT_EQ(model.SetOption(LightingOption::TriggerMode, TwoWayChoice::First),
              DeviceResult::Done);
    EXPECT_THAT(Frames(), IsEmpty());

    model.SetOption(LightingOption::TriggerMode, TwoWayChoice::Second);
    model.SetOption(LightingOption::TriggerMode, TwoWayChoice::Second);
    EXPECT_EQ(LightingWrites(), (decltype(LightingWrites()){{5, {1}}}));
    EXPECT_EQ(model.State().Option(LightingOption::TriggerMode), 1);
}

TEST_F(LightingTest, AllKeysGoOutInNineChunksWithThePaddingZero) {
    LightingModel& model = ReadModel();
    for (bool lit : {false, true}) {
        SCOPED_TRACE(lit ? "lit" : "dark");
        rig_.log.Clear();
        model.SetAllKeys(lit);

        const std::vector<LoggedFrame> frames = Frames();
        ASSERT_EQ(frames.size(), 11u);
        EXPECT_EQ(frames.front().command, kBegin);
        EXPECT_EQ(frames.back().command, kEnd);
        const uint8_t value = lit ? 0xFF : 0x00;
        for (int chunk = 0; chunk < kColourChunkCount; ++chunk) {
            const LoggedFrame& written = frames[static_cast<size_t>(chunk) + 1];
            EXPECT_EQ(written.command, kWriteColours);
            EXPECT_EQ(written.address, chunk * 54);
            ASSERT_EQ(written.data.size(), 54u);
            const size_t keyBytes = chunk == kColourChunkCount - 1 ? 48 : 54;
            EXPECT_THAT(std::vector(written.data.begin(), written.data.begin() + keyBytes),
                        Each(value));
            EXPECT_THAT(std::vector(written.data.begin() + keyBytes, written.data.end()),
                        Each(0x00));
        }
        const auto colours = KeyboardColours();
        EXPECT_THAT(std::vector(colours.begin(), colours.begin() + 480), Each(value));
        EXPECT_THAT(model.State().colours.Bytes(), Each(value));
    }
}

TEST_F(LightingTest, AGivenColourTableReachesTheKeyboardByteForByte) {
    LightingModel& model = ReadModel();
    KeyColourTable colours;
    for (KeyPosition position = 0; position < kKeyPositionCount; ++position)
        colours.SetTriple(position,
                          {static_cast<uint8_t>(position), static_cast<uint8_t>(~position),
                           static_cast<uint8_t>(position * 7 + 1)});
    rig_.log.Clear();

    EXPECT_EQ(model.SetKeyColours(colours), DeviceResult::Done);
    const std::vector<LoggedFrame> frames = Frames();
    ASSERT_EQ(frames.size(), 2u + kColourChunkCount);
    EXPECT_EQ(frames.front().command, kBegin);
    EXPECT_EQ(frames.back().command, kEnd);
    const auto keyboard = KeyboardColours();
    EXPECT_TRUE(std::equal(colours.Bytes().begin(), colours.Bytes().end(), keyboard.begin()));
    EXPECT_EQ(model.State().colours, colours);
    EXPECT_EQ(model.State().colours.Triple(159), (ColourTriple{159, 96, 90}));
}

TEST_F(LightingTest, PaintKeyWritesOneTripleByTheTool) {
    LightingModel& model = ReadModel();
    model.SetAllKeys(false);
    rig_.log.Clear();

    model.PaintKey(37);
    EXPECT_EQ(KeyboardColours()[111], 1);
    EXPECT_EQ(KeyboardColours()[113], 1);
    EXPECT_TRUE(model.State().colours.KeyLit(37));
    model.SetKeyLightTool(KeyLightTool::Darken);
    model.PaintKey(37);
    EXPECT_EQ(KeyboardColours()[111], 0);
    EXPECT_FALSE(model.State().colours.KeyLit(37));

    const std::vector<LoggedFrame> frames = Frames();
    ASSERT_EQ(frames.size(), 6u);
    EXPECT_EQ(frames[1].command, kWriteColours);
    EXPECT_EQ(frames[1].address, 111);
    EXPECT_THAT(frames[1].data, ElementsAre(1, 1, 1));
    EXPECT_THAT(frames[4].data, ElementsAre(0, 0, 0));
}

TEST_F(LightingTest, ResetWritesTheDefaultsSelectsEffectNineAndLightsEveryKey) {
    LightingModel& model = ReadModel();
    model.SetBrightness(3);
    model.SetAllKeys(false);
    rig_.log.Clear();

    EXPECT_EQ(model.ResetLighting(), DeviceResult::Done);

    EXPECT_EQ(LightingWrites(), (decltype(LightingWrites()){
                                    {0, {0x09, 0x14, 0x05, 0, 0, 0, 0, 0, 0, 0, 0}}, {0, {9}}}));
    std::vector<uint8_t> expected{kBegin,         kWriteLighting, kEnd,  kBegin,
                                  kWriteLighting, kEnd,           kBegin};
    expected.insert(expected.end(), 9, kWriteColours);
    expected.push_back(kEnd);
    EXPECT_EQ(Commands(), expected);
    const emu::LightingBytes lighting = KeyboardLighting();
    EXPECT_THAT(std::vector(lighting.begin(), lighting.begin() + 11),
                ElementsAre(9, 20, 5, 0, 0, 0, 0, 0, 0, 0, 0));
    const auto colours = KeyboardColours();
    EXPECT_THAT(std::vector(colours.begin(), colours.begin() + 480), Each(0xFF));

    const LightingState& state = model.State();
    EXPECT_EQ(state.effect, 9);
    EXPECT_EQ(state.brightness, 20);
    EXPECT_EQ(SliderFromSpeed(state.speed), 20);
    EXPECT_EQ(state.rainbowA, 1);
    EXPECT_EQ(state.rainbowB, 1);

    // From now on the rainbow effects carry their flag.
    rig_.log.Clear();
    model.SelectEffect(5);
    EXPECT_EQ(LightingWrites(), (decltype(LightingWrites()){{0, {5}}, {18, {1}}}));
}

TEST_F(LightingTest, RainbowFlagsAreZeroUntilAReset) {
    LightingModel& model = ReadModel();
    model.SelectEffect(4);
    model.SelectEffect(5);
    EXPECT_EQ(KeyboardLighting()[23], 0);
    EXPECT_EQ(KeyboardLighting()[18], 0);
}

class PlainKeyboardTest : public LightingTest {
protected:
    PlainKeyboardTest()
        : LightingTest(OfferingEffects({1, 2, 3})) {}
};

TEST_F(PlainKeyboardTest, ResetWithoutEffectsNineAndSixSendsOnlyTheDefaults) {
    LightingModel& model = ReadModel();
    model.ResetLighting();
    EXPECT_EQ(Commands(), (std::vector<uint8_t>{kBegin, kWriteLighting, kEnd}));
    EXPECT_EQ(model.State().effect, 9); // what the keyboard now runs
}

TEST_F(PlainKeyboardTest, ReadingWithTheKeyTableSkipsItWithoutThePerKeyEffect) {
    rig_.log.Clear();
    model_.ReadLightingState(true);
    EXPECT_EQ(Commands(), (std::vector<uint8_t>{kReadSettings, kBegin, kReadLighting, kEnd}));
    EXPECT_THAT(model_.Effects().Effects(), ElementsAre(1, 2, 3));
}

class DarkKeyboardTest : public LightingTest {
protected:
    DarkKeyboardTest()
        : LightingTest(OfferingEffects({})) {}
};

TEST_F(DarkKeyboardTest, NoOfferedEffectsGiveAnEmptyList) {
    LightingModel& model = ReadModel();
    EXPECT_TRUE(model.Effects().Empty());
    EXPECT_EQ(model.Effects().IndexOf(1), -1);
}

TEST_F(LightingTest, ReadTakesTheKeyboardsParametersTableAndPreferences) {
    rig_.keyboard.WithFirmware([](emu::KeyboardFirmware& f) {
        emu::KeyboardMemory& memory = f.Memory();
        memory.lighting = {5, 17, 8, 3, 1, 1, 6, 1, 1, 1};
        std::iota(memory.colours.begin(), memory.colours.begin() + 480, uint8_t{0});
    });
    rig_.log.Clear();

    EXPECT_EQ(model_.ReadLightingState(true), DeviceResult::Done);

    std::vector<uint8_t> expected{kReadSettings, kBegin};
    expected.insert(expected.end(), 9, kReadColours);
    expected.insert(expected.end(), {kReadLighting, kEnd});
    EXPECT_EQ(Commands(), expected);
    const LightingState& state = model_.State();
    EXPECT_EQ(state.effect, 5);
    EXPECT_EQ(state.brightness, 17);
    EXPECT_EQ(state.speed, 8);
    EXPECT_EQ(state.direction, 1);
    EXPECT_THAT(state.options, ElementsAre(1, 1, 1, 1));
    const auto table = state.colours.Bytes();
    std::vector<uint8_t> counting(480);
    std::iota(counting.begin(), counting.end(), uint8_t{0});
    EXPECT_THAT(table, ElementsAreArray(counting));
    EXPECT_EQ(state.preferences.reportRateButton, 3);
    EXPECT_TRUE(state.preferences.editMode);
    EXPECT_THAT(model_.Effects().Effects(), ElementsAre(1, 2, 3, 4, 5, 6, 7, 8, 9, 10));
}

TEST_F(LightingTest, ReadWithoutTheKeyTableLeavesTheCopyAlone) {
    LightingModel& model = ReadModel();
    const KeyColourTable before = model.State().colours;
    rig_.keyboard.WithFirmware([](emu::KeyboardFirmware& f) { f.Memory().colours.fill(0); });

    model.ReadLightingState(false);

    EXPECT_EQ(Commands(), (std::vector<uint8_t>{kReadSettings, kBegin, kReadLighting, kEnd}));
    EXPECT_EQ(model.State().colours, before);
}

TEST_F(LightingTest, AFailingSettingsReadStopsBeforeAnyLightingCommand) {
    LightingModel& model = ReadModel();
    model.SetBrightness(4);
    const LightingState before = model.State();
    rig_.log.Clear();
    rig_.keyboard.SetFault(emu::Fault::RefuseFE, 3);

    EXPECT_EQ(model.ReadLightingState(true), DeviceResult::RefusedFE);

    EXPECT_EQ(Commands(), (std::vector<uint8_t>{kReadSettings, kReadSettings, kReadSettings}));
    EXPECT_EQ(model.State().brightness, before.brightness);
    EXPECT_EQ(model.State().colours, before.colours);
    EXPECT_EQ(model.Effects().Size(), 10); // still the list of the last good read
}

TEST_F(LightingTest, AFailedColourChunkKeepsItsPartOfTheCopy) {
    LightingModel& model = ReadModel(); // the factory table: every key 0xFF
    rig_.keyboard.WithFirmware([](emu::KeyboardFirmware& f) { f.Memory().colours.fill(0); });
    // The fifth chunk read (frame 6 after the settings read and begin) is refused three times.
    rig_.FaultFromFrame(6, emu::Fault::RefuseFF, 3);

    EXPECT_EQ(model.ReadLightingState(true), DeviceResult::Done); // the parameters came

    const auto table = model.State().colours.Bytes();
    for (int chunk = 0; chunk < kColourChunkCount; ++chunk) {
        const auto first = table.begin() + chunk * 54;
        const auto last = table.begin() + std::min(chunk * 54 + 54, 480);
        SCOPED_TRACE(chunk);
        EXPECT_THAT(std::vector(first, last), Each(chunk == 4 ? 0xFF : 0x00));
    }
    EXPECT_EQ(Commands().back(), kEnd);
}

// A change the keyboard does not take leaves the copy holding what the keyboard holds: read
// again where the keyboard answers, as it was before the change where it does not. The failure
// is handed on before anything is read.
TEST_F(LightingTest, AFailedChangeLeavesTheCopyAsTheKeyboardHoldsIt) {
    const struct {
        const char* name;
        std::function<DeviceResult(LightingModel&)> change;
        std::function<void(KeyboardRig&)> fault;
        DeviceResult result;
    } cases[] = {
        {"brightness refused", [](LightingModel& m) { return m.SetBrightness(13); },
         [](KeyboardRig& rig) { rig.FaultOnCommand(kWriteLighting, emu::Fault::RefuseFF); },
         DeviceResult::RefusedFF},
        {"effect refused", [](LightingModel& m) { return m.SelectEffect(3); },
         [](KeyboardRig& rig) { rig.FaultOnCommand(kWriteLighting, emu::Fault::RefuseFE); },
         DeviceResult::RefusedFE},
        {"direction written, the end of its bracket refused: the keyboard holds it",
         [](LightingModel& m) { return m.SetDirection(LightingDirection::Right); },
         [](KeyboardRig& rig) { rig.FaultOnCommand(kEnd, emu::Fault::RefuseFF); },
         DeviceResult::RefusedFF},
        {"all keys dark, the third chunk refused: the others went",
         [](LightingModel& m) { return m.SetAllKeys(false); },
         [](KeyboardRig& rig) { rig.FaultFromFrame(3, emu::Fault::RefuseFF, 3); },
         DeviceResult::RefusedFF},
        {"a key lit by the tool, the key's write lost",
         [](LightingModel& m) {
             m.SetKeyLightTool(KeyLightTool::Light);
             return m.PaintKey(30);
         },
         [](KeyboardRig& rig) { rig.FaultOnCommand(kWriteColours, emu::Fault::Silent); },
         DeviceResult::NoAnswer},
        {"speed taken",
         [](LightingModel& m) { return m.SetSpeedFromSlider(20); },
         {},
         DeviceResult::Done},
        {"direction with the keyboard unplugged",
         [](LightingModel& m) { return m.SetDirection(LightingDirection::Left); },
         [](KeyboardRig& rig) { rig.keyboard.Unplug(); }, DeviceResult::NoKeyboard},
    };
    rig_.keyboard.WithFirmware(
        [](emu::KeyboardFirmware& f) { f.Memory().lighting[lighting_byte::kDirection] = 1; });
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ReadModel();
        if (c.fault)
            c.fault(rig_);
        std::optional<size_t> framesBeforeFailure;
        const DeviceResult result = model_.Change(c.change, [&](DeviceResult failed) {
            EXPECT_EQ(failed, c.result);
            framesBeforeFailure = rig_.log.Frames().size();
        });
        rig_.log.BeforeFrame({});
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(framesBeforeFailure.has_value(), c.result != DeviceResult::Done);
        const std::vector<uint8_t> commands = Commands();
        const auto firstRead = std::ranges::find(commands, kReadSettings);
        EXPECT_EQ(static_cast<size_t>(firstRead - commands.begin()),
                  framesBeforeFailure.value_or(commands.size()));
        const LightingState& copy = model_.State();
        const emu::LightingBytes held = KeyboardLighting();
        EXPECT_EQ(copy.effect, held[lighting_byte::kEffect]);
        EXPECT_EQ(copy.brightness, held[lighting_byte::kBrightness]);
        EXPECT_EQ(copy.speed, held[lighting_byte::kSpeed]);
        EXPECT_EQ(copy.direction, held[lighting_byte::kDirection]);
        for (const LightingOption option : kLightingOptions)
            EXPECT_EQ(copy.Option(option), held[static_cast<size_t>(option)]);
        const auto colours = KeyboardColours();
        EXPECT_THAT(copy.colours.Bytes(),
                    ElementsAreArray(colours.begin(), colours.begin() + kKeyColourTableBytes));
    }
}

TEST(EffectNameTest, TakesTheModeSectionAndFallsBackToOne) {
    const SkinValueLookup skin = [](std::u16string_view section,
                                    std::u16string_view key) -> std::optional<std::u16string> {
        if (section == u"Mode" && key == u"10")
            return u"自定义";
        return std::nullopt;
    };
    EXPECT_EQ(EffectName(10, skin), u"自定义");
    EXPECT_EQ(EffectName(1, skin), u"1");
    EXPECT_EQ(EffectName(3, {}), u"1");
}

} // namespace
} // namespace tavrik
