// The commands on an in-process emulated keyboard whose frames can be given faults: failures are
// named by the part that failed, and nothing is written back from a profile that does not
// mirror the keyboard.
#include "cli/keyboard_session.h"
#include "cli/tavrikctl.h"
#include "emulator/keyboard_firmware.h"
#include "lighting/lighting_params.h"
#include "macro/macro_image.h"
#include "support/hooked_keyboard.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace tavrik::cli {
namespace {

constexpr uint8_t kWriteKeyMap = command::kWriteKeyMap;
constexpr uint8_t kReadKeyMap = command::kReadKeyMap;
constexpr uint16_t kSecondKeyMap = 512;
constexpr KeyPosition kQPosition = 18;

class CliSession : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home_.isValid());
        // The store file goes into the Documents folder of this home.
        setenv("HOME", home_.path().toUtf8().constData(), 1);
        setenv("XDG_CONFIG_HOME", (home_.path() + "/.config").toUtf8().constData(), 1);
    }

    // Starts the session; `hook` acts on the frames from the start on.
    void Start(test::HookedKeyboard::Hook hook = {}) {
        Start(std::make_unique<test::HookedKeyboard>(), std::move(hook));
    }
    void Start(std::unique_ptr<test::HookedKeyboard> keyboard, test::HookedKeyboard::Hook hook) {
        keyboard_ = keyboard.get();
        keyboard_->BeforeFrame(std::move(hook));
        session_ = KeyboardSession::Start(std::move(keyboard), console_);
    }

    ExitStatus Run(std::vector<std::string_view> args) {
        const auto parsed = ParseCommandLine(args);
        EXPECT_TRUE(std::holds_alternative<CommandLine>(parsed));
        std::istringstream input;
        return RunCommand(*session_, {console_, false}, std::get<CommandLine>(parsed).request,
                          input);
    }

    emu::KeyboardMemory Memory() {
        return keyboard_->Keyboard().WithFirmware(
            [](emu::KeyboardFirmware& firmware) { return firmware.Memory(); });
    }

    std::string File(const char* name) const { return (home_.path() + "/" + name).toStdString(); }

    QTemporaryDir home_;
    std::ostringstream out_;
    std::ostringstream err_;
    Console console_{out_, err_};
    test::HookedKeyboard* keyboard_ = nullptr;
    std::unique_ptr<KeyboardSession> session_;
};

// The download's own result only reflects its last key map; a failed key map before it must
// still be reported, by name and with the keyboard's answer. A frame that succeeds when it is
// sent again is no failure.
TEST_F(CliSession, ADownloadThatFailsPartWayNamesThePartThatFailed) {
    struct Case {
        emu::Fault fault;
        int frames;
        ExitStatus status;
        std::string says;
    };
    const std::string part = "the download failed while writing the key map of hardware profile "
                             "1 (bytes 0..55): ";
    const std::vector<Case> cases{
        {emu::Fault::RefuseFE, 3, ExitStatus::DeviceError,
         part + "refused by the keyboard (status 0xFE)"},
        {emu::Fault::RefuseFF, 3, ExitStatus::DeviceError,
         part + "refused by the keyboard (status 0xFF)"},
        {emu::Fault::WrongEcho, 3, ExitStatus::DeviceError, part + "no answer from the keyboard"},
        {emu::Fault::RefuseFE, 2, ExitStatus::Done, ""},
    };
    Start();
    const std::string backup = File("backup.tvk");
    ASSERT_EQ(Run({"backup", backup}), ExitStatus::Done);
    // The backup is what the keyboard holds: only a whole download sends its key maps.
    session_->Commands().WriteEveryFrame(true);
    for (const Case& c : cases) {
        err_.str({});
        bool faulted = false;
        keyboard_->BeforeFrame([&](const ConfigFrame& frame, EmulatedHidBridge& keyboard) {
            if (!faulted && frame[frame::kCommand] == kWriteKeyMap &&
                FrameAddress(frame) == kSecondKeyMap) {
                faulted = true;
                keyboard.SetFault(c.fault, c.frames);
            }
        });
        const int writesBefore = keyboard_->FramesOf(kWriteKeyMap);
        EXPECT_EQ(Run({"restore", backup}), c.status) << c.says;
        EXPECT_NE(err_.str().find(c.says), std::string::npos) << err_.str();
        if (c.status != ExitStatus::Done) {
            // Profile 1 stopped at its first frame; profiles 0 and 2 were written.
            EXPECT_EQ(keyboard_->FramesOf(kWriteKeyMap) - writesBefore, 9 + c.frames + 9);
        }
    }
}

TEST_F(CliSession, NothingIsWrittenBackWhenTheKeyboardCouldNotBeRead) {
    Start([](const ConfigFrame& frame, EmulatedHidBridge& keyboard) {
        if (frame[frame::kCommand] == kReadKeyMap)
            keyboard.SetFault(emu::Fault::RefuseFF, 1);
    });
    const emu::KeyboardMemory before = Memory();
    EXPECT_EQ(Run({"remap", "Q", "key:W"}), ExitStatus::DeviceError);
    EXPECT_NE(err_.str().find("reading the key map of hardware profile 0 (bytes 0..55): refused "
                              "by the keyboard (status 0xFF)"),
              std::string::npos)
        << err_.str();
    EXPECT_EQ(Run({"macro", "add", "M"}), ExitStatus::DeviceError);
    EXPECT_EQ(keyboard_->FramesOf(kWriteKeyMap), 0);
    EXPECT_EQ(Memory(), before);
}

// The keyboard knows macros by position: deleting one moves the others, so every profile's key
// map must follow, not only the active one's.
// The keyboard's key maps have no place for the G keys: the next command reloads the profile from
// the keyboard and must keep them from the store file.
TEST_F(CliSession, AGKeyFunctionSurvivesTheNextCommand) {
    Start();
    ASSERT_EQ(Run({"remap", "--profile", "0", "G4", "key:A"}), ExitStatus::Done);
    session_.reset();
    Start();
    ASSERT_EQ(Run({"info"}), ExitStatus::Done);
    const LiveProfile::Lock lock = session_->Profile().LockProfile();
    const KeyFunctionEntry& g4 = session_->Profile().Record().layers[0][kFirstMacroKeySlot + 3];
    EXPECT_EQ(g4.type, KeyFunctionType::SingleKey);
    EXPECT_EQ(g4.value, 0x1Eu);
}

// The settings read fails when the keyboard arrives, so the size of its macro memory is not known:
// the download asks again instead of telling the user that the macros do not fit.
TEST_F(CliSession, AFailedSettingsReadAtArrivalDoesNotStopTheNextDownload) {
    auto faulted = std::make_shared<int>(0);
    Start([faulted](const ConfigFrame& frame, EmulatedHidBridge& keyboard) {
        if (frame[frame::kCommand] == command::kReadSettings && (*faulted)++ < 3)
            keyboard.SetFault(emu::Fault::WrongEcho, 1);
    });
    ASSERT_EQ(session_->Facts().MacroCapacity(), 0); // the arrival could not learn it
    EXPECT_EQ(Run({"remap", "--profile", "1", "A", "key:B"}), ExitStatus::Done) << err_.str();
    EXPECT_EQ(err_.str().find("fit"), std::string::npos) << err_.str();
    EXPECT_EQ(Memory().keyMaps[1][19 * 3 + 2], 0x05); // A (position 19) types B
}

// The keyboard goes away while a macro's new actions are written. The store file keeps the
// user's macros, the keyboard holds no half-written ones, and running the same command again on
// the keyboard as it was left finishes the job.
TEST_F(CliSession, AMacroDownloadCutOffIsFinishedByRunningTheCommandAgain) {
    Start();
    ASSERT_EQ(Run({"macro", "add", "Alpha"}), ExitStatus::Done);
    ASSERT_EQ(Run({"macro", "add", "Gamma"}), ExitStatus::Done);
    std::ofstream(File("gamma.txt")) << [] {
        std::string actions;
        for (int i = 0; i < 120; ++i)
            actions += "A down 10\nA up 10\n";
        return actions;
    }();
    auto macroFrames = std::make_shared<int>(0);
    keyboard_->BeforeFrame([macroFrames](const ConfigFrame& frame, EmulatedHidBridge& keyboard) {
        if (frame[frame::kCommand] == command::kWriteMacroMemory && ++*macroFrames == 5)
            keyboard.SetFault(emu::Fault::UnplugAfter, 1);
    });
    EXPECT_EQ(Run({"macro", "actions", "Gamma", File("gamma.txt")}), ExitStatus::DeviceError);
    const emu::KeyboardMemory leftOver = Memory();
    EXPECT_TRUE(MacroImageToRecords(leftOver.macroMemory).empty());

    session_.reset();
    auto keyboard = std::make_unique<test::HookedKeyboard>();
    keyboard->Keyboard().WithFirmware(
        [&leftOver](emu::KeyboardFirmware& firmware) { firmware.Memory() = leftOver; });
    Start(std::move(keyboard), {});
    ASSERT_EQ(Run({"macro", "actions", "Gamma", File("gamma.txt")}), ExitStatus::Done);
    const std::vector<MacroRecord> held = MacroImageToRecords(Memory().macroMemory);
    ASSERT_EQ(held.size(), 2u);
    EXPECT_EQ(held[0].name, u"Alpha");
    EXPECT_EQ(held[1].name, u"Gamma");
    EXPECT_EQ(held[1].actions.size(), 240u);
}

TEST_F(CliSession, DeletingAMacroKeepsKeysOfOtherProfilesOnTheirMacro) {
    Start();
    ASSERT_EQ(Run({"macro", "add", "First"}), ExitStatus::Done);
    ASSERT_EQ(Run({"macro", "add", "Second"}), ExitStatus::Done);
    ASSERT_EQ(Run({"remap", "--profile", "1", "Q", "macro:Second"}), ExitStatus::Done);
    ASSERT_EQ(Run({"remap", "--profile", "2", "Q", "macro:First"}), ExitStatus::Done);
    const auto entryOfQ = [this](int profile) {
        const KeyMapBlock map = Memory().keyMaps[static_cast<size_t>(profile)];
        const size_t at = kQPosition * 3;
        return std::array<uint8_t, 3>{map[at], map[at + 1], map[at + 2]};
    };
    EXPECT_EQ(entryOfQ(1), (std::array<uint8_t, 3>{5, 1, 1}));

    EXPECT_EQ(Run({"macro", "rm", "First"}), ExitStatus::UsageError); // keys still play it
    EXPECT_EQ(entryOfQ(2), (std::array<uint8_t, 3>{5, 1, 0}));
    EXPECT_EQ(Run({"macro", "rm", "--force", "First"}), ExitStatus::Done);
    EXPECT_EQ(entryOfQ(1), (std::array<uint8_t, 3>{5, 1, 0}));    // Second moved to position 0
    EXPECT_EQ(entryOfQ(2), (std::array<uint8_t, 3>{2, 2, 0x14})); // Q again
}

// Every command says what it did, in English, naming keys and functions as a user would; what
// the keyboard does not hold (a macro) is exit status 1, since the command line was right.
TEST_F(CliSession, CommandsSayWhatHappened) {
    struct Case {
        std::vector<std::string_view> args;
        ExitStatus status;
        std::string out;       // exactly
        std::string says = {}; // on standard error; nothing there when empty
    };
    const std::vector<Case> cases{
        {{"macro", "add", "Hello"},
         ExitStatus::Done,
         "macro Hello added; 1 macro on the keyboard\n"},
        {{"macro", "add", "Other"},
         ExitStatus::Done,
         "macro Other added; 2 macros on the keyboard\n"},
        {{"remap", "--profile", "1", "Q", "default"},
         ExitStatus::Done,
         "hardware profile 1: Q reset to its default\n"},
        {{"remap", "Q", "key:Left Ctrl"},
         ExitStatus::Done,
         "hardware profile 0: Q now sends Left Ctrl\n"},
        {{"remap", "PgUp", "media:XF86AudioMute"},
         ExitStatus::Done,
         "hardware profile 0: Page Up now sends Mute\n"},
        {{"remap", "退格", "fn:zoom-in"},
         ExitStatus::Done,
         "hardware profile 0: Backspace now performs the keyboard function Zoom In\n"},
        {{"remap", "KEY_RIGHTSHIFT", "macro:Hello:3"},
         ExitStatus::Done,
         "hardware profile 0: Right Shift now plays macro Hello (loop count 3)\n"},
        {{"macro", "loop", "Hello", "2"}, ExitStatus::Done, "macro Hello: loop count 2\n"},
        {{"macro", "rename", "1", "Greeting"}, ExitStatus::Done, "macro Hello renamed Greeting\n"},
        {{"macro", "show", "Greting"},
         ExitStatus::DeviceError,
         "",
         "the keyboard holds no macro with the id or name \"Greting\"; did you mean "
         "\"Greeting\"?"},
        {{"remap", "Q", "macro:Nope"},
         ExitStatus::DeviceError,
         "",
         "the keyboard holds no macro with the id or name \"Nope\" (tavrikctl macro list shows "
         "them)"},
        {{"macro", "loop", "7", "2"},
         ExitStatus::DeviceError,
         "",
         "no macro with the id or name \"7\""},
        {{"macro", "rm", "Greeting"}, ExitStatus::UsageError, "", "keys still play macro"},
        {{"macro", "rm", "--force", "Greeting"},
         ExitStatus::Done,
         "macro Greeting deleted; 1 macro on the keyboard\n"},
        {{"backup", "/nonexistent-folder/a.tvk"},
         ExitStatus::BadFile,
         "",
         "/nonexistent-folder/a.tvk: No such file or directory"},
    };
    Start();
    for (const Case& c : cases) {
        const std::string line = ::testing::PrintToString(c.args);
        out_.str({});
        err_.str({});
        EXPECT_EQ(Run(c.args), c.status) << line << ": " << err_.str();
        EXPECT_EQ(out_.str(), c.out) << line;
        if (c.says.empty())
            EXPECT_EQ(err_.str(), "") << line;
        else
            EXPECT_NE(err_.str().find(c.says), std::string::npos) << line << ": " << err_.str();
    }
}

// The keyboard keeps pauses in steps of 10 ms: a pause it cannot keep exactly is kept rounded
// down and said, line by line, never changed silently.
TEST_F(CliSession, PausesTheKeyboardCannotKeepAreReported) {
    Start();
    ASSERT_EQ(Run({"macro", "add", "Hi"}), ExitStatus::Done);
    std::string actions = "# Hi\nI down 20\nI up 15\n";
    for (int i = 0; i < 6; ++i)
        actions += "A down 7\nA up 30\n";
    std::ofstream(File("hi.txt")) << actions;
    err_.str({});
    ASSERT_EQ(Run({"macro", "actions", "Hi", File("hi.txt")}), ExitStatus::Done) << err_.str();
    const std::string said = err_.str();
    EXPECT_EQ(said.find(File("hi.txt") + ":2:"), std::string::npos) << said; // 20 is kept
    EXPECT_NE(said.find(File("hi.txt") + ":3: the pause of 15 ms is kept as 10 ms (the keyboard "
                                         "keeps pauses in steps of 10 ms)"),
              std::string::npos)
        << said;
    EXPECT_NE(said.find(File("hi.txt") + ":4: the pause of 7 ms is kept as 0 ms"),
              std::string::npos)
        << said;
    EXPECT_NE(said.find(File("hi.txt") + ": 2 more pauses were rounded down"), std::string::npos)
        << said;
    const std::vector<MacroRecord> held = MacroImageToRecords(Memory().macroMemory);
    ASSERT_EQ(held.size(), 1u);
    ASSERT_EQ(held[0].actions.size(), 14u);
    EXPECT_EQ(held[0].actions[1].delayMs, 10u);
    EXPECT_EQ(held[0].actions[2].delayMs, 0u);
}

// No keyboard: said once, with what to do about it.
TEST_F(CliSession, NoKeyboardIsSaidOnceWithAHint) {
    Start(std::make_unique<test::HookedKeyboard>(false), {});
    for (const std::vector<std::string_view>& args :
         {std::vector<std::string_view>{"info"}, {"remap", "Q", "key:W"}, {"lighting", "show"}}) {
        const std::string line = ::testing::PrintToString(args);
        out_.str({});
        err_.str({});
        EXPECT_EQ(Run(args), ExitStatus::DeviceError) << line;
        EXPECT_EQ(out_.str(), "") << line;
        EXPECT_EQ(err_.str(), "tavrikctl: no keyboard attached\n  Is it plugged in? \"tavrikctl "
                              "watch\" waits for one to arrive; \"tavrikctl --device demo "
                              "COMMAND\" tries a command on an emulated keyboard.\n")
            << line;
    }
}

TEST_F(CliSession, AKeyboardThatCannotBeOpenedGetsTheUdevRuleAdvice) {
    Start(std::make_unique<test::HookedKeyboard>(false, true), {});
    EXPECT_EQ(Run({"info"}), ExitStatus::DeviceError);
    EXPECT_NE(err_.str().find("cannot be opened"), std::string::npos) << err_.str();
    EXPECT_NE(err_.str().find("/lib/udev/rules.d/70-voltri-vx60.rules"), std::string::npos)
        << err_.str();
    EXPECT_NE(err_.str().find("udevadm control --reload-rules"), std::string::npos);
}

// A keyboard without the per-key effect keeps no key colours: its text names none, and a text
// that names some writes the rest of the lighting but not the colour table.
TEST_F(CliSession, AKeyboardWithoutThePerKeyEffectGetsNoKeyColours) {
    auto keyboard = std::make_unique<test::HookedKeyboard>();
    keyboard->Keyboard().WithFirmware([](emu::KeyboardFirmware& firmware) {
        DeviceSettings& settings = firmware.Memory().settings;
        std::fill_n(settings.begin() + settings_byte::kFirstEffect, settings_byte::kEffectSlots, 0);
        settings[settings_byte::kFirstEffect] = 3;
        settings[settings_byte::kFirstEffect + 1] = 9;
    });
    Start(std::move(keyboard), {});
    ASSERT_EQ(Run({"export", "--text", File("plain.txt")}), ExitStatus::Done) << err_.str();
    std::stringstream exported;
    exported << std::ifstream(File("plain.txt")).rdbuf();
    ASSERT_NE(exported.str().find("\nlighting effect neon\n"), std::string::npos);
    EXPECT_EQ(exported.str().find("lighting key"), std::string::npos) << exported.str();

    std::string text = exported.str();
    text.replace(text.find("lighting effect neon"), 20, "lighting effect static");
    std::ofstream(File("keyed.txt")) << text << "lighting key \"Q\" 0102AB\n";
    const emu::KeyboardMemory before = Memory();
    const int colourWrites = keyboard_->FramesOf(command::kWriteColours);
    ASSERT_EQ(Run({"import", File("keyed.txt")}), ExitStatus::Done) << err_.str();
    EXPECT_EQ(keyboard_->FramesOf(command::kWriteColours), colourWrites);
    EXPECT_EQ(Memory().colours, before.colours);
    EXPECT_EQ(Memory().lighting[lighting_byte::kEffect], 3);
}

} // namespace
} // namespace tavrik::cli
