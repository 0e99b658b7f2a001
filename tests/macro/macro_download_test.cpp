#include "macro/macro_download.h"

#include "assign/key_map_conversion.h"
#include "device/default_layout.h"
#include "device/frame_exchange.h"
#include "macro/macro_image.h"
#include "macro/macro_texts.h"
#include "tests/device/keyboard_rig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace tavrik {
namespace {

constexpr uint8_t kBegin = 1;
constexpr uint8_t kEnd = 2;
constexpr uint8_t kWriteKeyMap = 8;
constexpr uint8_t kWriteMacroMemory = 10;
constexpr size_t kQSlot = 0x10;

// One macro named with two characters and three actions: 34 bytes without its name, 38 with.
MacroRecord ThreeActionMacro() {
    MacroRecord macro;
    macro.name = u"宏2";
    macro.id = 1;
    macro.actions = {{.delayMs = 1234, .key = 0x02A, .direction = KeyDirection::Press},
                     {.delayMs = 20, .key = 0x01E, .direction = KeyDirection::Release},
                     {.delayMs = 0, .key = 0x122, .direction = KeyDirection::Press}};
    return macro;
}

// A command and, for key map writes, the block it addresses; consecutive frames of one
// multi-frame transfer count once.
using Step = std::pair<uint8_t, int>;

struct MacroDownloadTest : testing::Test {
    MacroDownloadTest() {
        layers[0][kQSlot] = {.type = KeyFunctionType::PlayMacro, .value = 1};
        layers[1][kQSlot] = {.type = KeyFunctionType::SingleKey, .value = 0x011};
        layers[2][kQSlot] = {.type = KeyFunctionType::Disabled};
    }

    DownloadResult Send(size_t capacity, DownloadTarget target) {
        return DownloadToKeyboard(rig.commands, {.layers = layers, .macros = macros},
                                  {.defaultLayout = kDefaultLayout, .macroCapacity = capacity},
                                  target, [this](std::u16string_view text) {
                                      messages.emplace_back(text);
                                      framesBeforeMessage.push_back(rig.log.Frames().size());
                                  });
    }
    // The outcome the program reports.
    bool Download(size_t capacity, DownloadTarget target) {
        return Send(capacity, target).lastKeyMapWritten;
    }

    std::vector<Step> Steps() const {
        std::vector<Step> steps;
        for (const ConfigFrame& sent : rig.log.Frames()) {
            const uint8_t command = sent[frame::kCommand];
            const int block = command == kWriteKeyMap ? FrameAddress(sent) / 512 : -1;
            if (steps.empty() || steps.back() != Step{command, block}) {
                steps.emplace_back(command, block);
            }
        }
        return steps;
    }

    emu::KeyboardMemory KeyboardMemory() {
        return rig.keyboard.WithFirmware(
            [](emu::KeyboardFirmware& keyboard) { return keyboard.Memory(); });
    }

    std::vector<uint8_t> StoredImage(size_t length) {
        const std::vector<uint8_t> memory = KeyboardMemory().macroMemory;
        return {memory.begin(), memory.begin() + static_cast<std::ptrdiff_t>(length)};
    }

    test::KeyboardRig rig;
    KeyFunctionLayers layers{};
    std::vector<MacroRecord> macros{ThreeActionMacro()};
    std::vector<std::u16string> messages;
    std::vector<size_t> framesBeforeMessage;
};

TEST_F(MacroDownloadTest, NamesAreLeftOutWhenOnlyTheMacrosFit) {
    const struct {
        size_t capacity;
        bool done;
        bool namesStored;
        std::vector<std::u16string> messages;
    } cases[] = {
        {38, true, true, {}},
        {37, true, false, {std::u16string(macro_text::kMacroNamesLeftOut)}},
        {33, false, false, {std::u16string(macro_text::kMacroMemoryTooSmall)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.capacity);
        rig.log.Clear();
        messages.clear();
        framesBeforeMessage.clear();
        const std::vector<uint8_t> before = StoredImage(38);

        EXPECT_EQ(Download(c.capacity, DownloadTarget::ActiveProfile(0)), c.done);
        EXPECT_EQ(messages, c.messages);
        if (!c.done) {
            EXPECT_TRUE(rig.log.Frames().empty()); // refused before anything is sent
            EXPECT_EQ(StoredImage(38), before);
            continue;
        }
        const auto image = BuildMacroImage(macros, c.namesStored);
        EXPECT_EQ(StoredImage(image->size()), *image);
        if (!messages.empty()) {
            EXPECT_EQ(framesBeforeMessage[0], rig.log.Frames().size()); // told after sending
        }
    }
}

TEST_F(MacroDownloadTest, SendsTheImageThenTheKeyMapsInOneBracket) {
    const struct {
        DownloadTarget target;
        std::vector<Step> steps;
    } cases[] = {
        // Nothing is known of this keyboard: nothing is believed equal, nothing read first.
        {DownloadTarget::AllProfiles(),
         {{kBegin, -1},
          {kWriteMacroMemory, -1},
          {kWriteKeyMap, 0},
          {kWriteKeyMap, 1},
          {kWriteKeyMap, 2},
          {kEnd, -1}}},
        {DownloadTarget::ActiveProfile(1),
         {{kBegin, -1}, {kWriteMacroMemory, -1}, {kWriteKeyMap, 1}, {kEnd, -1}}},
    };
    for (const auto& c : cases) {
        rig.log.Clear();
        EXPECT_TRUE(Download(4096, c.target));
        EXPECT_EQ(Steps(), c.steps);
    }
    const emu::KeyboardMemory memory = KeyboardMemory();
    for (size_t profile = 0; profile < kHardwareProfileCount; ++profile) {
        EXPECT_EQ(memory.keyMaps[profile], BuildKeyMap(kDefaultLayout, layers[profile], macros))
            << profile;
    }
    EXPECT_FALSE(rig.keyboard.WithFirmware(
        [](emu::KeyboardFirmware& keyboard) { return keyboard.InConfiguration(); }));
}

TEST_F(MacroDownloadTest, OnlyTheActiveProfileIsWritten) {
    EXPECT_TRUE(Download(4096, DownloadTarget::ActiveProfile(2)));
    const emu::KeyboardMemory memory = KeyboardMemory();
    EXPECT_EQ(memory.keyMaps[0], kDefaultLayout);
    EXPECT_EQ(memory.keyMaps[1], kDefaultLayout);
    EXPECT_EQ(memory.keyMaps[2], BuildKeyMap(kDefaultLayout, layers[2], macros));
}

TEST_F(MacroDownloadTest, AnUnknownActiveProfileSendsNothing) {
    for (const int active : {-1, 3}) {
        EXPECT_FALSE(Download(4096, DownloadTarget::ActiveProfile(active)));
    }
    EXPECT_TRUE(rig.log.Frames().empty());
    EXPECT_TRUE(messages.empty());
}

TEST_F(MacroDownloadTest, NoMacrosStillSendsTheEmptyImage) {
    macros.clear();
    layers = {};
    rig.keyboard.WithFirmware([](emu::KeyboardFirmware& keyboard) {
        std::ranges::fill(keyboard.Memory().macroMemory, uint8_t{0xEE});
    });
    EXPECT_TRUE(Download(16, DownloadTarget::ActiveProfile(0)));
    const std::vector<uint8_t> empty{0xAA, 0x55, 16, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(StoredImage(16), empty);
}

// A download cut off anywhere in the macro memory (here: the keyboard unplugged after each of its
// frames in turn, or each frame refused at every attempt) must leave a memory that reads as no
// macros, never as a plausible half of the new image over the rest of the old one. Only the last
// frame, the header, makes the new image; a refused clearing frame leaves the old one whole.
TEST_F(MacroDownloadTest, AnImageCutOffPartWayNeverReadsAsMacros) {
    MacroRecord longMacro = ThreeActionMacro();
    longMacro.actions.resize(100, {.delayMs = 10, .key = 0x01E, .direction = KeyDirection::Press});
    const std::vector<MacroRecord> oldMacros{ThreeActionMacro()};
    const std::vector<uint8_t> oldImage = BuildMacroImage(oldMacros, true).value();
    macros = {longMacro, ThreeActionMacro()};
    macros[1].id = 2;
    const auto macroFrames = [this] {
        return static_cast<size_t>(
            std::ranges::count_if(rig.log.Frames(), [](const ConfigFrame& f) {
                return f[frame::kCommand] == kWriteMacroMemory;
            }));
    };
    ASSERT_TRUE(Download(4096, DownloadTarget::ActiveProfile(0)));
    const size_t imageFrames = macroFrames();
    ASSERT_GT(imageFrames, 4u); // the clearing frame, several body frames, the header
    const struct {
        emu::Fault fault;
        int frames;
        std::function<size_t(size_t cut)> macrosHeld;
    } faults[] = {
        {emu::Fault::UnplugAfter, 1,
         [imageFrames](size_t cut) { return cut == imageFrames ? 2u : 0u; }},
        {emu::Fault::RefuseFE, kMaxFrameAttempts, [](size_t cut) { return cut == 1 ? 1u : 0u; }},
    };
    // Frame 0 begins the configuration; frames 1..imageFrames write the macro memory.
    for (const auto& fault : faults) {
        for (size_t cut = 1; cut <= imageFrames; ++cut) {
            SCOPED_TRACE(testing::Message() << static_cast<int>(fault.fault) << " at " << cut);
            rig.keyboard.WithFirmware([&oldImage](emu::KeyboardFirmware& keyboard) {
                std::ranges::copy(oldImage, keyboard.Memory().macroMemory.begin());
            });
            rig.log.Clear();
            rig.FaultFromFrame(cut, fault.fault, fault.frames);
            Download(4096, DownloadTarget::ActiveProfile(0));
            rig.keyboard.SetFault(emu::Fault::None, 0);
            rig.keyboard.Plug();
            const size_t held = MacroImageToRecords(KeyboardMemory().macroMemory).size();
            EXPECT_EQ(held, fault.macrosHeld(cut));
        }
    }
}

// Whatever failed, the download is not finished: the keyboard may hold part of it.
TEST_F(MacroDownloadTest, OnlyTheLastKeyMapWriteDecidesTheOutcome) {
    const struct {
        uint8_t failing;
        bool done;
    } cases[] = {{kBegin, true}, {kWriteMacroMemory, true}, {kWriteKeyMap, false}, {kEnd, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.failing));
        rig.FaultOnCommand(c.failing, emu::Fault::RefuseFF);
        const DownloadResult result = Send(4096, DownloadTarget::ActiveProfile(0));
        EXPECT_EQ(result.lastKeyMapWritten, c.done);
        EXPECT_FALSE(result.everyFrameWritten);
        rig.FaultOnCommand(c.failing, emu::Fault::None);
    }
    EXPECT_TRUE(Send(4096, DownloadTarget::ActiveProfile(0)).everyFrameWritten);
}

} // namespace
} // namespace tavrik
