// A download sends only the frames whose bytes the keyboard is not known to hold, and those
// exactly as the whole download would send them: the keyboard must end with the same memory as
// after a whole download, whatever was edited.
#include "macro/macro_download.h"

#include "assign/key_map_conversion.h"
#include "device/default_layout.h"
#include "tests/device/keyboard_rig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace tavrik {
namespace {

// One keyboard, downloaded to as the program does it: every write read back.
struct Keyboard {
    explicit Keyboard(bool everyFrame) {
        rig.commands.CheckWrites(true);
        rig.commands.WriteEveryFrame(everyFrame);
    }

    // What the program reads as a keyboard arrives: its three key maps and its macro memory.
    void ReadEverything() {
        for (int block = 0; block < kKeyMapBlockCount; ++block) {
            KeyMapBlock read{};
            ASSERT_EQ(rig.commands.ReadKeyMapBlock(block, read), DeviceResult::Done);
        }
        std::vector<uint8_t> macroMemory(Memory().macroMemory.size());
        ASSERT_EQ(rig.commands.ReadMacroMemory(macroMemory), DeviceResult::Done);
        rig.log.Clear();
    }

    DownloadResult Download(const KeyFunctionLayers& layers, const std::vector<MacroRecord>& macros,
                            DownloadTarget target) {
        rig.log.Clear();
        return DownloadToKeyboard(
            rig.commands, {.layers = layers, .macros = macros},
            {.defaultLayout = kDefaultLayout, .macroCapacity = Memory().macroMemory.size()}, target,
            {});
    }

    // The frames that change the keyboard: the bracket and the writes, not the reads back.
    std::vector<ConfigFrame> WriteFrames() const {
        std::vector<ConfigFrame> writes;
        for (const ConfigFrame& sent : rig.log.Frames()) {
            const uint8_t command = sent[frame::kCommand];
            if (command == command::kBegin || command == command::kEnd ||
                command == command::kWriteKeyMap || command == command::kWriteMacroMemory)
                writes.push_back(sent);
        }
        return writes;
    }

    emu::KeyboardMemory Memory() {
        return rig.keyboard.WithFirmware(
            [](emu::KeyboardFirmware& firmware) { return firmware.Memory(); });
    }

    test::KeyboardRig rig;
};

bool IsInOrderWithin(const std::vector<ConfigFrame>& part, const std::vector<ConfigFrame>& whole) {
    auto next = whole.begin();
    for (const ConfigFrame& sent : part) {
        next = std::find(next, whole.end(), sent);
        if (next == whole.end())
            return false;
        ++next;
    }
    return true;
}

MacroRecord MacroWithActions(uint16_t id, size_t count) {
    MacroRecord macro;
    macro.name = u"m" + std::u16string(1, static_cast<char16_t>(u'0' + id % 10));
    macro.id = id;
    for (size_t i = 0; i < count; ++i)
        macro.actions.push_back({.delayMs = static_cast<uint32_t>(10 + i),
                                 .key = static_cast<ScanCode>(0x10 + i % 20),
                                 .direction = i % 2 ? KeyDirection::Release : KeyDirection::Press});
    return macro;
}

struct ChangedFramesDownload : testing::Test {
    ChangedFramesDownload() {
        changed.ReadEverything();
        macros = {MacroWithActions(1, 30), MacroWithActions(2, 4)};
        SendToBoth(DownloadTarget::AllProfiles());
    }

    void SendToBoth(DownloadTarget target) {
        const DownloadResult wholeResult = whole.Download(layers, macros, target);
        const DownloadResult changedResult = changed.Download(layers, macros, target);
        EXPECT_TRUE(wholeResult.everyFrameWritten);
        EXPECT_TRUE(changedResult.everyFrameWritten);
    }

    void ExpectSameMemoryFromFewerFrames() {
        const std::vector<ConfigFrame> part = changed.WriteFrames();
        EXPECT_TRUE(IsInOrderWithin(part, whole.WriteFrames()));
        EXPECT_EQ(part.front()[frame::kCommand], command::kBegin);
        EXPECT_EQ(part.back()[frame::kCommand], command::kEnd);
        EXPECT_EQ(changed.Memory(), whole.Memory());
    }

    Keyboard whole{true};
    Keyboard changed{false};
    KeyFunctionLayers layers{};
    std::vector<MacroRecord> macros;
};

TEST_F(ChangedFramesDownload, OneKeyRemapIsOneFrameReadBackInsideTheBracket) {
    layers[1][0x20] = {.type = KeyFunctionType::SingleKey, .value = 0x1E};
    SendToBoth(DownloadTarget::ActiveProfile(1));

    ExpectSameMemoryFromFewerFrames();
    const std::vector<uint8_t> commands = changed.rig.log.Commands();
    EXPECT_EQ(commands, (std::vector<uint8_t>{command::kBegin, command::kWriteKeyMap,
                                              command::kReadKeyMap, command::kEnd}));
}

TEST_F(ChangedFramesDownload, OneActionEditSendsTheChangedFrameBetweenClearingAndHeader) {
    macros[0].actions[20].delayMs += 1000;
    SendToBoth(DownloadTarget::ActiveProfile(0));

    ExpectSameMemoryFromFewerFrames();
    std::vector<uint16_t> macroFrames;
    for (const ConfigFrame& sent : changed.WriteFrames())
        if (sent[frame::kCommand] == command::kWriteMacroMemory)
            macroFrames.push_back(FrameAddress(sent));
    // The magic is cleared, the frame holding the action written, then the header with the magic.
    ASSERT_EQ(macroFrames.size(), 3u);
    EXPECT_EQ(macroFrames.front(), 0);
    EXPECT_GT(macroFrames[1], 0);
    EXPECT_EQ(macroFrames.back(), 0);
}

TEST_F(ChangedFramesDownload, NothingChangedSendsOnlyTheBracket) {
    SendToBoth(DownloadTarget::ActiveProfile(1));
    ExpectSameMemoryFromFewerFrames();
    EXPECT_EQ(changed.rig.log.Commands(), (std::vector<uint8_t>{command::kBegin, command::kEnd}));
}

TEST_F(ChangedFramesDownload, RandomEditsLeaveTheSameMemoryAsWholeDownloads) {
    std::mt19937 random(20261211);
    const auto pick = [&random](size_t n) {
        return std::uniform_int_distribution<size_t>(0, n - 1)(random);
    };
    const std::vector<std::function<void()>> edits = {
        [&] {
            layers[pick(3)][pick(128)] = {.type = KeyFunctionType::SingleKey,
                                          .value = static_cast<uint32_t>(0x02 + pick(80))};
        },
        [&] { layers[pick(3)][pick(128)] = {.type = KeyFunctionType::Disabled}; },
        [&] { macros[pick(macros.size())].actions[0].delayMs = static_cast<uint32_t>(pick(5000)); },
        [&] {
            if (macros.size() < 6)
                macros.push_back(
                    MacroWithActions(static_cast<uint16_t>(macros.size() + 1), 1 + pick(40)));
        },
        [&] {
            if (macros.size() > 1)
                macros.pop_back();
        },
    };
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE(round);
        for (size_t n = 1 + pick(3); n > 0; --n)
            edits[pick(edits.size())]();
        SendToBoth(pick(4) == 0 ? DownloadTarget::AllProfiles()
                                : DownloadTarget::ActiveProfile(static_cast<int>(pick(3))));
        ExpectSameMemoryFromFewerFrames();
    }
}

// Whenever what the keyboard holds is not known, the next download is a whole one again.
TEST_F(ChangedFramesDownload, UnknownMemoryIsWrittenWhole) {
    const struct {
        const char* name;
        std::function<void(Keyboard&)> makeUnknown;
    } cases[] = {
        {"another keyboard attached", [](Keyboard& k) { k.rig.commands.ForgetKeyboardMemory(); }},
        {"a write refused part-way",
         [&](Keyboard& k) {
             layers[0][5] = {.type = KeyFunctionType::Disabled};
             k.rig.FaultOnCommand(command::kWriteKeyMap, emu::Fault::RefuseFF);
             EXPECT_FALSE(
                 k.Download(layers, macros, DownloadTarget::AllProfiles()).everyFrameWritten);
             k.rig.log.BeforeFrame({});
             k.rig.keyboard.SetFault(emu::Fault::None, 0);
         }},
        {"a failed read",
         [](Keyboard& k) {
             k.rig.FaultOnCommand(command::kReadKeyMap, emu::Fault::RefuseFF);
             KeyMapBlock block{};
             EXPECT_NE(k.rig.commands.ReadKeyMapBlock(2, block), DeviceResult::Done);
             k.rig.log.BeforeFrame({});
             k.rig.keyboard.SetFault(emu::Fault::None, 0);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.makeUnknown(changed);
        SendToBoth(DownloadTarget::ActiveProfile(0));
        EXPECT_EQ(changed.WriteFrames(), whole.WriteFrames());
        EXPECT_EQ(changed.Memory(), whole.Memory());
    }
}

// Another program wrote to the keyboard behind this one's back: a whole configuration still
// leaves exactly its bytes, because the frames it believes equal are read again first.
TEST_F(ChangedFramesDownload, AWholeConfigurationGoesOverWhatTheKeyboardHoldsNow) {
    changed.rig.keyboard.WithFirmware([](emu::KeyboardFirmware& firmware) {
        firmware.Memory().keyMaps[1][200] ^= 0xFF;
        firmware.Memory().macroMemory[100] ^= 0xFF;
    });
    SendToBoth(DownloadTarget::AllProfiles());
    ExpectSameMemoryFromFewerFrames();
    EXPECT_LT(changed.WriteFrames().size(), whole.WriteFrames().size());
}

// What happened to each key map frame in the last download, in order: R read, W written.
std::map<uint16_t, std::string> KeyMapFrameHistory(const Keyboard& keyboard) {
    std::map<uint16_t, std::string> history;
    for (const ConfigFrame& sent : keyboard.rig.log.Frames()) {
        if (sent[frame::kCommand] == command::kReadKeyMap)
            history[FrameAddress(sent)] += 'R';
        else if (sent[frame::kCommand] == command::kWriteKeyMap)
            history[FrameAddress(sent)] += 'W';
    }
    return history;
}

// The address of the first key map frame in which these two blocks differ.
uint16_t FirstDifferingFrame(int block, const KeyMapBlock& a, const KeyMapBlock& b) {
    const auto differs = std::ranges::mismatch(a, b).in1 - a.begin();
    return static_cast<uint16_t>(KeyMapBlockAddress(block) +
                                 differs / kFrameDataSize * kFrameDataSize);
}

// A whole configuration reads again only the frames it believes the keyboard holds already: the
// frames it changed are written (and read back) without being read first. A frame that reads
// otherwise (something wrote without taking turns) is written, and from then on nothing believed
// is trusted: the frames after it are written as a whole write sends them.
TEST_F(ChangedFramesDownload, AWholeConfigurationReadsAgainOnlyWhatItBelievesEqual) {
    const KeyMapBlock before = BuildKeyMap(kDefaultLayout, layers[1], macros);
    layers[1][0x20] = {.type = KeyFunctionType::Disabled};
    const uint16_t edited =
        FirstDifferingFrame(1, before, BuildKeyMap(kDefaultLayout, layers[1], macros));
    const auto frameAt = [](int block, size_t frame) {
        return static_cast<uint16_t>(KeyMapBlockAddress(block) + frame * kFrameDataSize);
    };
    const uint16_t changedBehind = frameAt(2, 3);
    changed.rig.keyboard.WithFirmware([&](emu::KeyboardFirmware& firmware) {
        firmware.Memory().keyMaps[2][changedBehind - KeyMapBlockAddress(2) + 5] ^= 0xFF;
    });
    SendToBoth(DownloadTarget::AllProfiles());

    ExpectSameMemoryFromFewerFrames();
    const std::map<uint16_t, std::string> history = KeyMapFrameHistory(changed);
    const struct {
        const char* frame;
        uint16_t address;
        std::string history;
    } cases[] = {
        {"unchanged, before anything surprised", frameAt(0, 0), "R"},
        {"unchanged, last of its block", frameAt(0, 8), "R"},
        {"edited", edited, "WR"},
        {"changed behind the program's back", changedBehind, "RWR"},
        {"unchanged, after that", frameAt(2, 4), "WR"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.frame);
        const auto found = history.find(c.address);
        ASSERT_NE(found, history.end());
        EXPECT_EQ(found->second, c.history);
    }
    // The macro image was believed and confirmed: read, not touched.
    for (const ConfigFrame& sent : changed.rig.log.Frames())
        EXPECT_NE(sent[frame::kCommand], command::kWriteMacroMemory);
}

// Reading first never makes a whole configuration dearer than writing it whole: a frame believed
// equal costs one read instead of a write and its read back. Only a frame that something changed
// without taking turns costs more, and after the first one nothing is read first any more.
TEST_F(ChangedFramesDownload, AWholeConfigurationCostsNoMoreThanAWholeWrite) {
    const struct {
        const char* what;
        std::function<void()> change;
        bool changedBehind; // then the first frame read may cost one frame more
    } cases[] = {
        {"nothing changed", [] {}, false},
        {"one key of each profile",
         [&] {
             for (KeyFunctionLayer& layer : layers)
                 layer[0x30] = {.type = KeyFunctionType::Disabled};
         },
         false},
        {"every key and macro",
         [&] {
             for (KeyFunctionLayer& layer : layers)
                 for (size_t slot = 1; slot < 128; ++slot)
                     layer[slot] = {.type = KeyFunctionType::SingleKey,
                                    .value = static_cast<uint32_t>(0x02 + slot % 80)};
             for (MacroRecord& macro : macros)
                 for (MacroAction& action : macro.actions)
                     action.delayMs += 10;
         },
         false},
        {"the whole memory changed by a program that does not take turns",
         [&] {
             for (Keyboard* keyboard : {&whole, &changed})
                 keyboard->rig.keyboard.WithFirmware([](emu::KeyboardFirmware& firmware) {
                     for (KeyMapBlock& block : firmware.Memory().keyMaps)
                         for (uint8_t& byte : block)
                             byte ^= 0x5A;
                     for (uint8_t& byte : firmware.Memory().macroMemory)
                         byte ^= 0x5A;
                 });
         },
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.change();
        SendToBoth(DownloadTarget::AllProfiles());
        EXPECT_EQ(changed.Memory(), whole.Memory());
        EXPECT_LE(changed.rig.log.Frames().size(),
                  whole.rig.log.Frames().size() + (c.changedBehind ? 1 : 0));
    }
}

// A keyboard that fails a read of what the download believes is not written to, and nothing it
// holds is believed afterwards: the next whole configuration writes every frame.
TEST_F(ChangedFramesDownload, AFailedReadBeforeAWholeConfigurationWritesNothing) {
    layers[0][0x30] = {.type = KeyFunctionType::Disabled};
    const emu::KeyboardMemory before = changed.Memory();
    changed.rig.FaultOnCommand(command::kReadKeyMap, emu::Fault::RefuseFF);
    EXPECT_FALSE(changed.Download(layers, macros, DownloadTarget::AllProfiles()).everyFrameWritten);
    EXPECT_TRUE(changed.WriteFrames().empty());
    EXPECT_EQ(changed.Memory(), before);

    changed.rig.log.BeforeFrame({});
    changed.rig.keyboard.SetFault(emu::Fault::None, 0);
    SendToBoth(DownloadTarget::AllProfiles());
    EXPECT_EQ(changed.WriteFrames(), whole.WriteFrames());
    EXPECT_EQ(changed.Memory(), whole.Memory());
}

TEST_F(ChangedFramesDownload, FramesWrittenWithoutReadingBackAreSentAgain) {
    changed.rig.commands.CheckWrites(false);
    layers[2][0x30] = {.type = KeyFunctionType::Disabled};
    SendToBoth(DownloadTarget::ActiveProfile(2));
    const std::vector<ConfigFrame> unchecked = changed.WriteFrames();

    SendToBoth(DownloadTarget::ActiveProfile(2));
    EXPECT_EQ(changed.WriteFrames(), unchecked);
    EXPECT_EQ(changed.Memory(), whole.Memory());
}

} // namespace
} // namespace tavrik
