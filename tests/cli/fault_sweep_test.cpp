// Every fault the emulated keyboard can show, at every configuration frame of the commands that
// write to it. Each faulted run must say that it failed, leave a valid store file that still holds
// what the user asked for, and running the same command again on the keyboard as it was left must
// end with the keyboard holding exactly what a run without faults gives.
#include "cli/keyboard_session.h"
#include "cli/tavrikctl.h"
#include "device/frame_exchange.h"
#include "device/macro_memory.h"
#include "emulator/keyboard_firmware.h"
#include "macro/macro_image.h"
#include "profile/profile_file.h"
#include "profile/storage_paths.h"
#include "support/answered_keyboard.h"
#include "tests/device/manual_clock.h"

#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

namespace tavrik {

// The frame exchanges of this program wait on a clock that does not wait. The answered keyboard
// has delivered every answer by the time a write returns, so a frame without an answer then has
// lost it, and the time-out passes at once instead of after a second of real time per attempt.
// This definition takes the place of the library's steady clock when the program is linked.
DeviceClock& SystemDeviceClock() {
    static test::ManualClock clock;
    return clock;
}

namespace cli {
namespace {

struct SweptCommand {
    const char* name;
    std::vector<std::string> arguments;
    const char* file = nullptr; // a file of the test's folder, given as the last argument
};

// A restore writes all three key maps and the macro image, and so does an import of the same
// profile as text (without lighting: the sweep follows downloads); a remap of the active profile
// its key map and the image; new actions for a macro a larger image.
const SweptCommand kCommands[] = {
    {"restore", {"restore"}, "restore.tvk"},
    {"import", {"import"}, "restore.txt"},
    {"remap", {"remap", "W", "key:E"}},
    {"macro_actions", {"macro", "actions", "Gamma"}, "gamma.txt"},
};

// Test names and messages show the command by its name.
void PrintTo(const SweptCommand& command, std::ostream* out) {
    *out << command.name;
}

struct FaultKind {
    const char* name;
    emu::Fault fault;
    int frames;
};

// Every way the emulated keyboard fails a frame. The keyboard goes away just before the frame goes
// out; the other faults last for every attempt the program makes at the frame, so that it fails
// for good.
const FaultKind kFaultKinds[] = {
    {"unplug", emu::Fault::UnplugAfter, 0},
    {"silence", emu::Fault::Silent, kMaxFrameAttempts},
    {"wrong echo", emu::Fault::WrongEcho, kMaxFrameAttempts},
    {"refusal 0xFE", emu::Fault::RefuseFE, kMaxFrameAttempts},
    {"refusal 0xFF", emu::Fault::RefuseFF, kMaxFrameAttempts},
};

// What one run of tavrikctl left behind.
struct Outcome {
    ExitStatus status = ExitStatus::Done;
    std::string errors;
    int frames = 0; // the configuration frames the command sent
    emu::KeyboardMemory memory;
    std::string store; // the store file's bytes
    bool pending = false;
};

// How the sweep of one command went, for its report.
struct Figures {
    int runs = 0;
    int failedSafely = 0; // reported, with the store file valid, kept and marked
    int repaired = 0;
    int pastTheEndSucceeded = 0;
    std::vector<std::string> problems;
};

std::string Describe(const emu::KeyboardMemory& held, const emu::KeyboardMemory& wanted) {
    for (size_t profile = 0; profile < held.keyMaps.size(); ++profile) {
        if (held.keyMaps[profile] != wanted.keyMaps[profile])
            return "the key map of hardware profile " + std::to_string(profile) + " differs";
    }
    if (held.macroMemory != wanted.macroMemory)
        return "the macro memory differs (" +
               std::to_string(MacroImageToRecords(held.macroMemory).size()) +
               " macros read back, " +
               std::to_string(MacroImageToRecords(wanted.macroMemory).size()) + " wanted)";
    if (held != wanted)
        return "the settings or the lighting differ";
    return {};
}

// Every save of the store file and of the pending mark is flushed to the disk. In a folder kept in
// memory, where Linux offers one, the sweep's thousands of saves wait for no disk.
QString TemporaryFolderTemplate() {
    std::error_code error;
    const std::filesystem::path shm = "/dev/shm";
    const std::filesystem::path base =
        std::filesystem::is_directory(shm, error) ? shm : std::filesystem::temp_directory_path();
    return QString::fromStdString((base / "tavrik-fault-sweep-XXXXXX").string());
}

std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

class FaultSweep : public ::testing::TestWithParam<SweptCommand> {
protected:
    void SetUp() override {
        ASSERT_TRUE(home_.isValid());
        // The store file goes into the Documents folder of this home.
        setenv("HOME", home_.path().toUtf8().constData(), 1);
        setenv("XDG_CONFIG_HOME", (home_.path() + "/.config").toUtf8().constData(), 1);
        paths_ = StoragePathsIn(DocumentsFolder());
        ASSERT_NO_FATAL_FAILURE(PrepareKeyboard());
    }

    std::string File(const char* name) const { return (home_.path() + "/" + name).toStdString(); }

    std::vector<std::string> Arguments(const SweptCommand& command) const {
        std::vector<std::string> arguments = command.arguments;
        if (command.file)
            arguments.push_back(File(command.file));
        return arguments;
    }

    // Two macros, keys of every profile given functions, a G key's function kept on the computer,
    // and a backup of another configuration to restore.
    void PrepareKeyboard() {
        std::ofstream(File("alpha.txt")) << "Shift down 10\nH down 10\nH up 10\nShift up 0\n";
        std::ofstream(File("gamma.txt")) << [] {
            std::string actions;
            for (int i = 0; i < 120; ++i)
                actions += "A down 10\nA up 10\n";
            return actions;
        }();
        const std::vector<std::vector<std::string>> steps{
            {"macro", "add", "Alpha"},
            {"macro", "actions", "Alpha", File("alpha.txt")},
            {"macro", "add", "Beta"},
            {"remap", "--profile", "1", "A", "macro:Alpha"},
            {"remap", "G4", "key:A"},
            {"backup", File("restore.tvk")},
            {"macro", "rm", "--force", "Beta"},
            {"macro", "add", "Gamma"},
            {"remap", "--profile", "2", "Z", "key:X"},
            {"remap", "Q", "macro:Gamma"},
        };
        test::AnsweredKeyboard keyboard;
        for (const std::vector<std::string>& step : steps) {
            const Outcome prepared = RunOn(keyboard, step);
            ASSERT_EQ(prepared.status, ExitStatus::Done) << step[0] << ": " << prepared.errors;
        }
        before_ = Memory(keyboard);
        storeBefore_ = FileBytes(paths_.storeFile);
        WriteTextWithoutLighting(keyboard);
    }

    // The backup's configuration as a profile text, for import; its lighting lines left out.
    void WriteTextWithoutLighting(test::AnsweredKeyboard& keyboard) {
        const Outcome restored = RunOn(keyboard, {"restore", File("restore.tvk")});
        ASSERT_EQ(restored.status, ExitStatus::Done) << restored.errors;
        const Outcome exported = RunOn(keyboard, {"export", "--text", File("lit.txt")});
        ASSERT_EQ(exported.status, ExitStatus::Done) << exported.errors;
        std::ifstream lit(File("lit.txt"));
        std::ofstream text(File("restore.txt"));
        for (std::string line; std::getline(lit, line);)
            if (!line.starts_with("lighting "))
                text << line << "\n";
    }

    static emu::KeyboardMemory Memory(test::AnsweredKeyboard& keyboard) {
        return keyboard.Keyboard().WithFirmware(
            [](emu::KeyboardFirmware& firmware) { return firmware.Memory(); });
    }

    // A keyboard and a store file as they were before the command.
    std::unique_ptr<test::AnsweredKeyboard> KeyboardAsBefore() {
        auto keyboard = std::make_unique<test::AnsweredKeyboard>();
        keyboard->Keyboard().WithFirmware(
            [this](emu::KeyboardFirmware& firmware) { firmware.Memory() = before_; });
        std::ofstream(paths_.storeFile, std::ios::binary | std::ios::trunc) << storeBefore_;
        std::filesystem::remove(paths_.pendingMark);
        return keyboard;
    }

    // One run of tavrikctl on the keyboard as it is: the session opened (the keyboard's arrival),
    // the command, the session closed. `fault` hits the command's frame number `at` (from 0).
    Outcome RunOn(test::AnsweredKeyboard& keyboard, const std::vector<std::string>& arguments,
                  const FaultKind* fault = nullptr, int at = -1) {
        std::ostringstream out;
        std::ostringstream err;
        Console console(out, err);
        Outcome outcome;
        {
            // The keyboard outlives the session, as a real one outlives a run of tavrikctl.
            HidBridge& lent = keyboard;
            const std::unique_ptr<KeyboardSession> session =
                KeyboardSession::Start(std::make_unique<ForwardingHidBridge>(lent), console);
            keyboard.Hooked().BeforeFrame(
                [&](const ConfigFrame& sent, EmulatedHidBridge& emulated) {
                    if (outcome.frames++ == at && fault)
                        emulated.SetFault(fault->fault, fault->frames);
                    if (beforeFrame_)
                        beforeFrame_(sent, emulated);
                });
            const std::vector<std::string_view> args(arguments.begin(), arguments.end());
            const auto parsed = ParseCommandLine(args);
            std::istringstream input;
            outcome.status = RunCommand(*session, {console, false},
                                        std::get<CommandLine>(parsed).request, input);
            keyboard.Hooked().BeforeFrame({});
        }
        // The fault is over and the user plugs the keyboard in again.
        keyboard.Keyboard().SetFault(emu::Fault::None, 0);
        keyboard.Keyboard().Plug();
        outcome.errors = err.str();
        outcome.memory = Memory(keyboard);
        outcome.store = FileBytes(paths_.storeFile);
        outcome.pending = std::filesystem::exists(paths_.pendingMark);
        return outcome;
    }

    // The command from the state before it with `fault` at frame `at`, then once more without one.
    void Sweep(const std::vector<std::string>& arguments, const FaultKind& fault, int at,
               const Outcome& wanted, Figures& figures) {
        ++figures.runs;
        const std::unique_ptr<test::AnsweredKeyboard> keyboard = KeyboardAsBefore();
        const Outcome faulted = RunOn(*keyboard, arguments, &fault, at);
        std::string problem;
        if (at == wanted.frames) {
            // Past the command's last frame: nothing was hit.
            problem = ProblemOfSuccess(faulted, wanted);
            figures.pastTheEndSucceeded += problem.empty() ? 1 : 0;
        } else if (problem = ProblemOfFailure(faulted, wanted); problem.empty()) {
            ++figures.failedSafely;
            problem = ProblemOfSuccess(RunOn(*keyboard, arguments), wanted);
            if (!problem.empty())
                problem = "running the command again: " + problem;
            figures.repaired += problem.empty() ? 1 : 0;
        }
        if (!problem.empty())
            figures.problems.push_back(std::string(fault.name) + " at frame " + std::to_string(at) +
                                       ": " + problem);
    }

    // What falls short in a run that met a fault: it must say that it failed and leave the store
    // file valid, holding what the user asked for, marked as not yet in the keyboard.
    std::string ProblemOfFailure(const Outcome& faulted, const Outcome& wanted) const {
        if (faulted.status != ExitStatus::DeviceError || faulted.errors.empty())
            return "the failure was not reported (exit status " +
                   std::to_string(static_cast<int>(faulted.status)) + ")";
        if (ValidateProfileFile(paths_.storeFile, {}) != ProfileFileCheck::Acceptable)
            return "the store file is not a valid profile file";
        if (!faulted.pending || faulted.store != wanted.store)
            return "the store file does not keep what the user asked for, marked as not yet "
                   "downloaded";
        return ProblemOfWording(faulted);
    }

    // What the failure says reached the keyboard must be what its memory shows: nothing said to
    // be written when it changed, and a cleared macro image said.
    std::string ProblemOfWording(const Outcome& faulted) const {
        const bool saysNothing =
            faulted.errors.find("nothing was written to the keyboard") != std::string::npos;
        if (saysNothing && !(faulted.memory == before_))
            return "it says nothing was written, but the keyboard's memory changed: " +
                   faulted.errors;
        if (!saysNothing && faulted.memory == before_ &&
            faulted.errors.find("may now hold part") == std::string::npos)
            return "it does not say what reached the keyboard: " + faulted.errors;
        if (HoldsMacroImage(before_) && !HoldsMacroImage(faulted.memory) &&
            faulted.errors.find("plays no macros until") == std::string::npos)
            return "the macro image was left cleared, which it does not say: " + faulted.errors;
        return {};
    }

    static bool HoldsMacroImage(const emu::KeyboardMemory& memory) {
        return memory.macroMemory.size() >= 2 &&
               memory.macroMemory[0] == (kMacroImageMagic & 0xFF) &&
               memory.macroMemory[1] == (kMacroImageMagic >> 8);
    }

    // What falls short in a run that must end as the run without faults did.
    static std::string ProblemOfSuccess(const Outcome& run, const Outcome& wanted) {
        if (run.status != ExitStatus::Done)
            return "it failed: " + run.errors;
        if (std::string difference = Describe(run.memory, wanted.memory); !difference.empty())
            return difference;
        if (run.pending || run.store != wanted.store)
            return "the store file is not what the run without faults left";
        return {};
    }

    // Runs before each frame of the command, after the fault.
    std::function<void(const ConfigFrame&, EmulatedHidBridge&)> beforeFrame_;
    QTemporaryDir home_{TemporaryFolderTemplate()};
    StoragePaths paths_;
    emu::KeyboardMemory before_;
    std::string storeBefore_;
};

std::string Summary(const SweptCommand& command, const Figures& figures, int frames,
                    std::chrono::steady_clock::duration took) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(took).count();
    std::ostringstream text;
    text << command.name << ": " << frames << " frames x " << std::size(kFaultKinds)
         << " fault kinds, " << frames + 1 << " runs per kind, " << figures.runs
         << " runs: " << figures.failedSafely << " failed safely, " << figures.repaired
         << " repaired by running the command again, " << figures.pastTheEndSucceeded
         << " past the last frame succeeded, " << figures.problems.size() << " problems; " << ms
         << " ms\n";
    return text.str();
}

std::string Listed(const std::vector<std::string>& problems) {
    std::string text;
    for (size_t i = 0; i < std::min<size_t>(problems.size(), 20); ++i)
        text += "  " + problems[i] + "\n";
    return text;
}

TEST_P(FaultSweep, EveryFaultAtEveryFrameIsReportedAndRunningTheCommandAgainRepairsIt) {
    const auto start = std::chrono::steady_clock::now();
    const std::vector<std::string> arguments = Arguments(GetParam());
    const std::unique_ptr<test::AnsweredKeyboard> keyboard = KeyboardAsBefore();
    const Outcome wanted = RunOn(*keyboard, arguments);
    ASSERT_EQ(wanted.status, ExitStatus::Done) << wanted.errors;
    ASSERT_FALSE(wanted.pending);
    ASSERT_NE(Describe(wanted.memory, before_), "") << "the command changes nothing";

    Figures figures;
    for (const FaultKind& fault : kFaultKinds) {
        // One index past the last frame bounds the sweep: that run must meet no fault.
        for (int at = 0; at <= wanted.frames; ++at)
            Sweep(arguments, fault, at, wanted, figures);
    }
    std::cout << Summary(GetParam(), figures, wanted.frames,
                         std::chrono::steady_clock::now() - start);
    EXPECT_TRUE(figures.problems.empty()) << Listed(figures.problems);
}

// Whether the command has written yet, and whether a byte was inverted.
struct Inverting {
    bool written = false;
    bool done = false;
};

// The keyboard acknowledges the command's first write and stores one of its bytes inverted, as a
// firmware fault or a frame mangled on the way would leave it: the first read-back finds it.
// (A whole configuration reads the keyboard before writing; those reads are let be.)
void StoreOneByteInverted(const ConfigFrame& sent, EmulatedHidBridge& emulated, Inverting& state) {
    const uint8_t code = sent[frame::kCommand];
    state.written =
        state.written || code == command::kWriteKeyMap || code == command::kWriteMacroMemory;
    if (state.done || !state.written ||
        (code != command::kReadKeyMap && code != command::kReadMacroMemory))
        return;
    state.done = true;
    const unsigned address = sent[frame::kAddressLow] | (sent[frame::kAddressHigh] << 8);
    emulated.WithFirmware([&](emu::KeyboardFirmware& firmware) {
        emu::KeyboardMemory& memory = firmware.Memory();
        uint8_t& stored = code == command::kReadKeyMap
                              ? memory.keyMaps[address / 512][address % 512]
                              : memory.macroMemory[address];
        stored ^= 0xFF;
    });
}

TEST_P(FaultSweep, BytesStoredOtherwiseThanWrittenAreReportedAndRunningAgainRepairsThem) {
    const std::vector<std::string> arguments = Arguments(GetParam());
    const std::unique_ptr<test::AnsweredKeyboard> keyboard = KeyboardAsBefore();
    const Outcome wanted = RunOn(*keyboard, arguments);
    ASSERT_EQ(wanted.status, ExitStatus::Done) << wanted.errors;

    const std::unique_ptr<test::AnsweredKeyboard> flipping = KeyboardAsBefore();
    Inverting inverting;
    beforeFrame_ = [&inverting](const ConfigFrame& sent, EmulatedHidBridge& emulated) {
        StoreOneByteInverted(sent, emulated, inverting);
    };
    const Outcome faulted = RunOn(*flipping, arguments);
    beforeFrame_ = nullptr;
    ASSERT_TRUE(inverting.done);
    EXPECT_EQ(ProblemOfFailure(faulted, wanted), "");
    EXPECT_NE(faulted.errors.find("the bytes read back differ from those written"),
              std::string::npos)
        << faulted.errors;
    EXPECT_EQ(ProblemOfSuccess(RunOn(*flipping, arguments), wanted), "");
}

INSTANTIATE_TEST_SUITE_P(Commands, FaultSweep, ::testing::ValuesIn(kCommands),
                         [](const ::testing::TestParamInfo<SweptCommand>& command) {
                             return std::string(command.param.name);
                         });

} // namespace
} // namespace cli
} // namespace tavrik
