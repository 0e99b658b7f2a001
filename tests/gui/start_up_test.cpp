// Start-up logic without a display: switches, paths, the hand-over message, the instance
// socket's place, the named events and the tray icon's choice.

#include "app/app_paths.h"
#include "app/command_line.h"
#include "app/instance_endpoint.h"
#include "app/instance_message.h"
#include "app/named_events.h"
#include "app/tray_state.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <semaphore.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

namespace tavrik {
namespace {

struct SwitchCase {
    std::vector<std::string_view> arguments;
    bool kill;
    bool start;
};

TEST(StartSwitches, WholeArgumentsWithoutRegardToCase) {
    const SwitchCase cases[] = {
        {{}, false, false},
        {{"/Kill"}, true, false},
        {{"/kill"}, true, false},
        {{"/KILL"}, true, false},
        {{"/Start", "/Kill"}, true, true},
        {{"/kill", "/START"}, true, true},
        {{"/Killer", "Kill", "-kill", "/Sta"}, false, false},
        {{"--device", "demo", "/start"}, false, true},
    };
    for (const SwitchCase& c : cases) {
        const StartSwitches switches = ParseStartSwitches(c.arguments);
        EXPECT_EQ(switches.kill, c.kill);
        EXPECT_EQ(switches.start, c.start);
    }
}

struct CommandLineCase {
    std::vector<std::string_view> arguments;
    CommandLineCheck::Request request;
};

TEST(CommandLine, AnswersHelpAndVersionAndRefusesUnknownOptions) {
    using Request = CommandLineCheck::Request;
    const CommandLineCase cases[] = {
        {{}, Request::Run},
        {{"/Start"}, Request::Run},
        {{"/Kill", "whatever", "-"}, Request::Run},
        {{"--device", "demo"}, Request::Run},
        {{"--device=emu:/run/kbd.sock", "/START"}, Request::Run},
        {{"--device", "--help"}, Request::Run}, // the value of --device, refused later
        {{"-platform", "offscreen", "--style=fusion", "-reverse"}, Request::Run},
        {{"--platform", "xcb", "-display", ":1", "-qmljsdebugger=port:1"}, Request::Run},
        {{"--", "--bogus"}, Request::Run},
        {{"--help"}, Request::Help},
        {{"/Start", "-h", "--bogus"}, Request::Help},
        {{"--version"}, Request::Version},
        {{"--bogus"}, Request::Refused},
        {{"-x"}, Request::Refused},
        {{"--Help"}, Request::Refused},
        {{"--kill"}, Request::Refused},
        {{"--device"}, Request::Refused},
        {{"-platform"}, Request::Refused},
        {{"--devices=demo"}, Request::Refused},
        {{"--bogus", "--help"}, Request::Refused},
    };
    for (const CommandLineCase& c : cases) {
        const CommandLineCheck check = CheckCommandLine(c.arguments);
        EXPECT_EQ(check.request, c.request) << ::testing::PrintToString(c.arguments);
        EXPECT_EQ(check.problem.empty(), c.request != Request::Refused)
            << ::testing::PrintToString(c.arguments) << ": " << check.problem;
    }
}

TEST(CommandLine, RefusalNamesTheOption) {
    EXPECT_EQ(CheckCommandLine(std::vector<std::string_view>{"/Start", "--bogus"}).problem,
              "unknown option --bogus");
    EXPECT_EQ(CheckCommandLine(std::vector<std::string_view>{"--device"}).problem,
              "option --device needs a value");
}

TEST(AppPaths, EverythingBesideTheProgram) {
    const AppPaths paths = AppPathsFromExecutable("/usr/lib/tavrik/tavrik");
    EXPECT_EQ(paths.exeFileName, "tavrik");
    EXPECT_EQ(paths.appFolder, "/usr/lib/tavrik");
    EXPECT_EQ(paths.helpFolder, "/usr/lib/tavrik/Help");
    EXPECT_EQ(paths.skinFolder, "/usr/lib/tavrik/Skins");
    EXPECT_EQ(paths.mainSkinFile, "/usr/lib/tavrik/Skins/Main.ini");
    EXPECT_EQ(paths.profileSkinFile, "/usr/lib/tavrik/Skins/Profile.ini");
    EXPECT_EQ(paths.compositeSkinFile, "/usr/lib/tavrik/Skins/Composite.ini");
    EXPECT_EQ(paths.daemonPath, "/usr/lib/tavrik/VoZurade");
}

struct MessageCase {
    InstanceMessage message;
    InstanceCommand expected;
};

TEST(InstanceMessage, ActsOnlyOnTheRightTag) {
    const MessageCase cases[] = {
        {{0x5350, 0x4F50454E, 0}, InstanceCommand::Open},
        {{0x4D4B, 0x4C4C494B, 0}, InstanceCommand::Kill},
        {{0x5350, 0x4C4C494B, 0}, InstanceCommand::None}, // KILL's tag on OPEN
        {{0x4D4B, 0x4F50454E, 0}, InstanceCommand::None},
        {{0x5350, 0, 0}, InstanceCommand::None},
        {{0x4D4E, 0x494E4954, 0}, InstanceCommand::None}, // another message of the window
    };
    for (const MessageCase& c : cases) {
        EXPECT_EQ(CommandOfMessage(c.message), c.expected);
    }
}

TEST(InstanceMessage, LittleEndianWordsOnTheWire) {
    const auto bytes = EncodeInstanceMessage(MessageForCommand(InstanceCommand::Open));
    const std::array<uint8_t, 12> expected = {0x50, 0x53, 0, 0, 0x4E, 0x45, 0x50, 0x4F, 0, 0, 0, 0};
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(DecodeInstanceMessage(bytes), MessageForCommand(InstanceCommand::Open));
    EXPECT_EQ(DecodeInstanceMessage(std::span(bytes).first(11)), std::nullopt);
    const std::vector<uint8_t> longer(13, 0);
    EXPECT_EQ(DecodeInstanceMessage(longer), std::nullopt);
    EXPECT_EQ(DecodeInstanceReply(EncodeInstanceReply(0x01020304)), 0x01020304u);
    EXPECT_EQ(DecodeInstanceReply(std::span(bytes).first(3)), std::nullopt);
}

TEST(InstanceEndpoint, RuntimeFolderOrAPrivateTemporaryOne) {
    EXPECT_EQ(InstanceSocketPath("/run/user/1000", "/tmp", 1000), "/run/user/1000/Tavrik_Mutex");
    EXPECT_EQ(InstanceSocketPath("", "/tmp", 1000), "/tmp/Tavrik-1000/Tavrik_Mutex");
    EXPECT_EQ(InstanceSocketPath("relative/dir", "/var/tmp", 7), "/var/tmp/Tavrik-7/Tavrik_Mutex");
}

// The folder under the temporary folder is named for the user, so anyone can take the name
// first: it is used only when it is the user's own real folder with mode 0700.
TEST(InstanceEndpoint, FolderMustBePrivate) {
    testing::TempFolder folder;
    const uid_t me = ::getuid();
    const auto created = folder / "fresh" / "Tavrik_Mutex";
    std::string problem;
    EXPECT_TRUE(PrepareInstanceFolder(created, me, &problem)) << problem;
    struct stat info {};
    ASSERT_EQ(::stat(created.parent_path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_TRUE(PrepareInstanceFolder(created, me)); // the next start finds it as it was

    const auto open = folder / "open";
    std::filesystem::create_directory(open);
    ::chmod(open.c_str(), 0755);
    const auto closed = folder / "closed";
    std::filesystem::create_directory(closed);
    ::chmod(closed.c_str(), 0500);
    const auto link = folder / "link";
    std::filesystem::create_directory_symlink(created.parent_path(), link);
    const auto file = folder / "file";
    std::ofstream(file.string()) << "taken";
    const struct {
        const char* what;
        std::filesystem::path folder;
        uid_t user;
        std::string problem;
    } refused[] = {
        {"open to others", open, me, " has mode 0755 instead of 0700"},
        {"closed to its owner", closed, me, " has mode 0500 instead of 0700"},
        {"a link to a private folder", link, me, " is a symbolic link"},
        {"a file", file, me, " is not a folder"},
        {"someone else's", created.parent_path(), me + 1, " belongs to user " + std::to_string(me)},
        {"inside a file", file / "inside", me, " cannot be created: Not a directory"},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.what);
        std::string why;
        EXPECT_FALSE(PrepareInstanceFolder(c.folder / "Tavrik_Mutex", c.user, &why));
        EXPECT_EQ(why, c.folder.string() + c.problem);
    }
}

TEST(NamedEvents, CreatedAtStartAndUnlinkedAtExit) {
    EXPECT_EQ(NamedEventName("/Tavrik_Event_", 1), "/Tavrik_Event_Main_01");
    EXPECT_EQ(NamedEventName("/Tavrik_Event_", 99), "/Tavrik_Event_Main_99");
    EXPECT_EQ(NamedEventName("/Tavrik_Event_", 208), "/Tavrik_Event_Main_208");

    // A prefix of this test's own, so that a running program is not disturbed.
    const std::string prefix = "/tavrik_test_" + std::to_string(::getpid()) + "_";
    const auto exists = [&](int number) {
        sem_t* handle = ::sem_open(NamedEventName(prefix, number).c_str(), 0);
        if (handle == SEM_FAILED) {
            return false;
        }
        int value = -1;
        ::sem_getvalue(handle, &value);
        ::sem_close(handle);
        EXPECT_EQ(value, 0) << "created not signalled";
        return true;
    };
    NamedEventSet events(prefix);
    EXPECT_EQ(events.OpenCount(), kNamedEventCount);
    EXPECT_TRUE(exists(1));
    EXPECT_TRUE(exists(208));
    EXPECT_FALSE(exists(209));
    events.Close();
    EXPECT_EQ(events.OpenCount(), 0);
    EXPECT_FALSE(exists(1));
    EXPECT_FALSE(exists(208));
    events.Close(); // a second close does nothing
}

int SemaphoreValue(const std::string& name) {
    sem_t* handle = ::sem_open(name.c_str(), 0);
    if (handle == SEM_FAILED) {
        return -1;
    }
    int value = -1;
    ::sem_getvalue(handle, &value);
    ::sem_close(handle);
    return value;
}

// A semaphore left signalled by a run that crashed is replaced by one not signalled; one of
// another user's is neither held nor removed. Only root can give a semaphore to another user, so
// that half needs root (as CI runs).
TEST(NamedEvents, OnlySemaphoresOfTheirOwnAreHeld) {
    const std::string prefix = "/tavrik_owner_test_" + std::to_string(::getpid()) + "_";
    const std::string stale = NamedEventName(prefix, 1);
    ::sem_close(::sem_open(stale.c_str(), O_CREAT, 0600, 1));
    const bool root = ::geteuid() == 0;
    const std::string foreign = NamedEventName(prefix, 2);
    if (root) {
        ::sem_close(::sem_open(foreign.c_str(), O_CREAT, 0666, 1));
        ASSERT_EQ(::chown(("/dev/shm/sem." + foreign.substr(1)).c_str(), 12345, 12345), 0);
    }
    NamedEventSet events(prefix);
    EXPECT_EQ(events.OpenCount(), kNamedEventCount - (root ? 1 : 0));
    EXPECT_EQ(SemaphoreValue(stale), 0);
    events.Close();
    EXPECT_EQ(SemaphoreValue(stale), -1);
    if (root) {
        EXPECT_EQ(SemaphoreValue(foreign), 1);
        ::sem_unlink(foreign.c_str());
    }
}

struct TrayStep {
    int mode;
    int iconId;
    std::optional<int> shows;
};

TEST(TrayIconState, SetTrayStateRemembersTheDeviceIcon) {
    TrayIconState state;
    const TrayStep steps[] = {
        {0, 128, std::nullopt}, // already showing
        {0, 141, 141},          // a keyboard came
        {1, 0, 142},            // it plays a macro
        {1, 0, std::nullopt},   // still playing
        {0, 0, 141},            // the macro ended: the device icon again
        {2, 141, std::nullopt}, // unknown mode: nothing
        {1, 0, 142},
        {0, 128, 128},        // the keyboard went while playing
        {0, 0, std::nullopt}, // remembered icon is 128 now
    };
    for (const TrayStep& step : steps) {
        EXPECT_EQ(state.SetTrayState(step.mode, step.iconId), step.shows)
            << step.mode << "," << step.iconId;
    }
}

} // namespace
} // namespace tavrik
