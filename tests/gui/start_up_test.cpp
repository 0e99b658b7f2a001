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
#include <map>
#include <optional>
#include <span>
#include <string>
#include <utility>
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

// Anyone can create names under the temporary folder and point XDG_RUNTIME_DIR anywhere, so a
// folder is used only when it is the user's own real folder that nobody else may write to.
TEST(InstanceEndpoint, FolderMustBePrivate) {
    testing::TempFolder folder;
    const uid_t me = ::getuid();
    const auto made = folder / "made";
    std::string problem;
    EXPECT_TRUE(PrepareInstanceFolder(made, me, &problem)) << problem;
    struct stat info {};
    ASSERT_EQ(::stat(made.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0700u);
    EXPECT_EQ(ExamineInstanceFolder(made, me), FolderState::Private); // the next start finds it

    const auto readable = folder / "readable";
    std::filesystem::create_directory(readable);
    ::chmod(readable.c_str(), 0755);
    EXPECT_EQ(ExamineInstanceFolder(readable, me), FolderState::Private);

    const auto shared = folder / "shared";
    std::filesystem::create_directory(shared);
    ::chmod(shared.c_str(), 0770);
    const auto open = folder / "open";
    std::filesystem::create_directory(open);
    ::chmod(open.c_str(), 01777);
    const auto closed = folder / "closed";
    std::filesystem::create_directory(closed);
    ::chmod(closed.c_str(), 0500);
    const auto link = folder / "link";
    std::filesystem::create_directory_symlink(made, link);
    const auto dangling = folder / "dangling";
    std::filesystem::create_directory_symlink(folder / "nowhere", dangling);
    const auto file = folder / "file";
    std::ofstream(file.string()) << "taken";
    const struct {
        const char* what;
        std::filesystem::path folder;
        uid_t user;
        FolderState state;
        std::string problem;
    } cases[] = {
        {"writable by the group", shared, me, FolderState::Refused,
         " has mode 0770, so others may write to it"},
        {"writable by all", open, me, FolderState::Refused,
         " has mode 1777, so others may write to it"},
        {"closed to its owner", closed, me, FolderState::Refused,
         " has mode 0500, so its owner cannot make the socket in it"},
        {"a link to a private folder", link, me, FolderState::Refused, " is a symbolic link"},
        {"a link to nothing", dangling, me, FolderState::Refused, " is a symbolic link"},
        {"a file", file, me, FolderState::Refused, " is not a folder"},
        {"someone else's", made, me + 1, FolderState::Refused,
         " belongs to user " + std::to_string(me)},
        {"missing", folder / "missing", me, FolderState::Missing, " does not exist"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string why;
        EXPECT_EQ(ExamineInstanceFolder(c.folder, c.user, &why), c.state);
        EXPECT_EQ(why, c.folder.string() + c.problem);
    }
    EXPECT_FALSE(PrepareInstanceFolder(file / "inside", me, &problem));
    EXPECT_EQ(problem, (file / "inside").string() + " cannot be created: Not a directory");
}

// What a name holds before a start.
enum class Entry {
    Absent,
    Mine,         // the user's own folder, mode 0700
    MineOpen,     // the user's own folder, mode 0777
    Others,       // another user's folder, mode 0700
    OthersOpen,   // another user's folder, mode 0777
    LinkToMine,   // a link to a private folder of the user's
    LinkToOthers, // a link to another user's folder, mode 0777
    File,         // a regular file of the user's
};

// A user who is not the one running the tests.
constexpr uid_t kOtherUser = 54321;

struct FolderCase {
    const char* what;
    // XDG_RUNTIME_DIR names "run" in the temporary folder holding this; unset when nullopt.
    std::optional<Entry> runtime;
    // The names "Tavrik-UID", "Tavrik-UID-1", ... in order; the rest are absent.
    std::vector<Entry> names;
    // Where the start listens: "run", or "T<n>" for the name of index n; empty when nowhere.
    std::string own;
    // Where it looks for a running instance, in order.
    std::vector<std::string> searched;
    // The sentences explaining the passed-over folders: how many, and the first one as the
    // folder ("run" or "T<n>") and what is wrong with it; not checked when the folder is empty.
    size_t refused;
    std::pair<std::string, std::string> firstRefused;
};

// A temporary folder standing in for /tmp, set up for one case, the walk run on it and its
// outcome compared with the case's.
class FolderWalkRig {
public:
    explicit FolderWalkRig(uid_t user)
        : m_user(user) {
        // Open to all and sticky, like /tmp.
        ::chmod(m_temp.Path().c_str(), 01777);
    }

    void Check(const FolderCase& c) {
        const auto run = m_temp / "run";
        if (c.runtime) {
            Put(run, *c.runtime);
        }
        for (size_t i = 0; i < c.names.size(); ++i) {
            Put(PathOf("T" + std::to_string(i)), c.names[i]);
        }
        const Snapshot before = Take();
        const InstanceFolders folders =
            ChooseInstanceFolders(c.runtime ? run.string() : "", m_temp.Path(), m_user);

        EXPECT_EQ(folders.own, c.own.empty() ? std::filesystem::path() : PathOf(c.own));
        std::vector<std::filesystem::path> searched;
        for (const std::string& name : c.searched) {
            searched.push_back(PathOf(name));
        }
        EXPECT_EQ(folders.searched, searched);
        EXPECT_EQ(folders.refused.size(), c.refused) << ::testing::PrintToString(folders.refused);
        if (const auto& [name, why] = c.firstRefused; !name.empty() && !folders.refused.empty()) {
            const std::string prefix = name == "run" ? "XDG_RUNTIME_DIR " : "";
            EXPECT_EQ(folders.refused.front(), prefix + PathOf(name).string() + " " + why);
        }
        if (!folders.own.empty()) {
            // The socket's folder is a real folder of the user's that nobody else may write to.
            struct stat info {};
            ASSERT_EQ(::lstat(folders.own.c_str(), &info), 0);
            EXPECT_TRUE(S_ISDIR(info.st_mode));
            EXPECT_EQ(info.st_uid, m_user);
            EXPECT_EQ(info.st_mode & 022, 0u);
        }
        // Nothing that was there is changed or removed; at most the chosen folder is new, and
        // then private.
        Snapshot after = Take();
        const std::string made = folders.own.filename().string();
        if (!folders.own.empty() && !before.contains(made)) {
            EXPECT_EQ(after[made], Describe(S_IFDIR | 0700, m_user));
            after.erase(made);
        }
        EXPECT_EQ(after, before);
    }

private:
    // Every name in the temporary folder with its type, mode and owner.
    using Snapshot = std::map<std::string, std::string>;

    static std::string Describe(mode_t mode, uid_t owner) {
        return std::to_string(mode) + "/" + std::to_string(owner);
    }

    std::filesystem::path PathOf(const std::string& name) const {
        if (name == "run") {
            return m_temp / "run";
        }
        const std::string base = "Tavrik-" + std::to_string(m_user);
        const int index = std::stoi(name.substr(1));
        return m_temp / (index == 0 ? base : base + "-" + std::to_string(index));
    }

    void Put(const std::filesystem::path& path, Entry entry) {
        switch (entry) {
        case Entry::Absent:
            return;
        case Entry::Mine:
        case Entry::MineOpen:
            MakeFolder(path, entry == Entry::Mine ? 0700 : 0777, m_user);
            return;
        case Entry::Others:
        case Entry::OthersOpen:
            MakeFolder(path, entry == Entry::Others ? 0700 : 0777, kOtherUser);
            return;
        case Entry::LinkToMine:
        case Entry::LinkToOthers: {
            const bool mine = entry == Entry::LinkToMine;
            const auto target = m_temp / ("target-of-" + path.filename().string());
            MakeFolder(target, mine ? 0700 : 0777, mine ? m_user : kOtherUser);
            std::filesystem::create_directory_symlink(target, path);
            return;
        }
        case Entry::File:
            std::ofstream(path.string()) << "taken";
            return;
        }
    }

    static void MakeFolder(const std::filesystem::path& path, mode_t mode, uid_t owner) {
        ASSERT_EQ(::mkdir(path.c_str(), 0700), 0) << path;
        ASSERT_EQ(::chmod(path.c_str(), mode), 0) << path;
        if (owner != ::getuid()) {
            ASSERT_EQ(::chown(path.c_str(), owner, owner), 0) << path;
        }
    }

    Snapshot Take() const {
        Snapshot snapshot;
        for (const auto& entry : std::filesystem::directory_iterator(m_temp.Path())) {
            struct stat info {};
            EXPECT_EQ(::lstat(entry.path().c_str(), &info), 0);
            snapshot[entry.path().filename().string()] = Describe(info.st_mode, info.st_uid);
        }
        return snapshot;
    }

    testing::TempFolder m_temp;
    uid_t m_user;
};

void CheckCases(std::span<const FolderCase> cases) {
    for (const FolderCase& c : cases) {
        SCOPED_TRACE(c.what);
        FolderWalkRig rig(::getuid());
        rig.Check(c);
    }
}

// Things of the user's own in the way: any user can set them up.
TEST(InstanceFolders, FirstPrivateNameWinsAndEveryPrivateOneIsSearched) {
    const std::vector<Entry> allFiles(kInstanceFolderNames, Entry::File);
    const std::string openMode = "has mode 0777, so others may write to it";
    const FolderCase cases[] = {
        {"fresh", std::nullopt, {}, "T0", {"T0"}, 0, {}},
        {"own private folder", std::nullopt, {Entry::Mine}, "T0", {"T0"}, 0, {}},
        {"own folder open to all",
         std::nullopt,
         {Entry::MineOpen},
         "T1",
         {"T1"},
         1,
         {"T0", openMode}},
        {"a link to a private folder",
         std::nullopt,
         {Entry::LinkToMine},
         "T1",
         {"T1"},
         1,
         {"T0", "is a symbolic link"}},
        {"a file in the way",
         std::nullopt,
         {Entry::File},
         "T1",
         {"T1"},
         1,
         {"T0", "is not a folder"}},
        {"several in the way",
         std::nullopt,
         {Entry::File, Entry::LinkToMine, Entry::MineOpen},
         "T3",
         {"T3"},
         3,
         {"T0", "is not a folder"}},
        {"the first name given back after an earlier start moved on",
         std::nullopt,
         {Entry::Absent, Entry::Absent, Entry::Mine},
         "T0",
         {"T0", "T2"},
         0,
         {}},
        {"names after the chosen one in the way",
         std::nullopt,
         {Entry::Mine, Entry::File, Entry::MineOpen, Entry::Mine},
         "T0",
         {"T0", "T3"},
         0,
         {}},
        {"every name in the way",
         std::nullopt,
         allFiles,
         "",
         {},
         allFiles.size(),
         {"T0", "is not a folder"}},
        {"private runtime folder", Entry::Mine, {Entry::File}, "run", {"run"}, 0, {}},
        {"runtime folder missing", Entry::Absent, {}, "T0", {"T0"}, 1, {"run", "does not exist"}},
        {"runtime folder open to all", Entry::MineOpen, {}, "T0", {"T0"}, 1, {"run", openMode}},
        {"runtime folder a link",
         Entry::LinkToMine,
         {},
         "T0",
         {"T0"},
         1,
         {"run", "is a symbolic link"}},
        {"runtime folder a file",
         Entry::File,
         {Entry::File},
         "T1",
         {"T1"},
         2,
         {"run", "is not a folder"}},
    };
    CheckCases(cases);
}

// Things of another user in the way. Only root can give a folder to another user, so these need
// root (as CI runs).
TEST(InstanceFolders, NamesOfAnotherUserArePassedOver) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "giving a folder to another user needs root";
    }
    const std::string other = "belongs to user " + std::to_string(kOtherUser);
    const FolderCase cases[] = {
        {"another user's folder", std::nullopt, {Entry::Others}, "T1", {"T1"}, 1, {"T0", other}},
        {"another user's folder open to all",
         std::nullopt,
         {Entry::OthersOpen},
         "T1",
         {"T1"},
         1,
         {"T0", other}},
        {"a link to another user's folder",
         std::nullopt,
         {Entry::LinkToOthers},
         "T1",
         {"T1"},
         1,
         {"T0", "is a symbolic link"}},
        {"another user's folders and the user's own after them",
         std::nullopt,
         {Entry::OthersOpen, Entry::Others, Entry::Mine},
         "T2",
         {"T2"},
         2,
         {"T0", other}},
        {"another user's runtime folder", Entry::Others, {}, "T0", {"T0"}, 1, {"run", other}},
        {"another user's runtime folder and first name",
         Entry::OthersOpen,
         {Entry::OthersOpen},
         "T1",
         {"T1"},
         2,
         {"run", other}},
    };
    CheckCases(cases);
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
