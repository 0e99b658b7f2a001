// Programs taking turns on one keyboard: two KeyboardTurns on one place behave as two programs
// (flock locks belong to the open file, so they exclude each other inside one process too), and
// a child process stands in for another program where its pid must be named.
#include "device/forwarding_hid_bridge.h"
#include "device/frame_exchange.h"
#include "device/turn_files.h"
#include "keyboard_rig.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tavrik {
namespace {

using namespace std::chrono_literals;

struct TwoPrograms {
    test::TempFolder folder;
    TurnPlace place = SocketTurnPlace(folder / "keyboard.sock");
    KeyboardTurn first{[this] { return place; }};
    KeyboardTurn second{[this] { return place; }};
};

TEST(KeyboardTurn, OneProgramAtATime) {
    TwoPrograms programs;
    KeyboardTurn::Hold held = programs.first.Take();
    ASSERT_TRUE(held);
    EXPECT_EQ(programs.second.Take(20ms).Outcome(), TurnOutcome::TimedOut);

    // A second hold of the same program is granted at once and keeps the turn after the first
    // one ends.
    KeyboardTurn::Hold nested = programs.first.Take(0ms);
    ASSERT_TRUE(nested);
    held.Release();
    EXPECT_EQ(programs.second.Take(20ms).Outcome(), TurnOutcome::TimedOut);
    nested.Release();
    EXPECT_TRUE(programs.second.Take(0ms));
}

TEST(KeyboardTurn, AWaitingProgramGetsTheTurnWhenItIsGiven) {
    TwoPrograms programs;
    KeyboardTurn::Hold held = programs.first.Take();
    std::jthread giver([&held] {
        std::this_thread::sleep_for(50ms);
        held.Release();
    });
    EXPECT_TRUE(programs.second.Take(10s));
}

TEST(KeyboardTurn, ATurnShowsWhetherAnotherProgramWroteMeanwhile) {
    TwoPrograms programs;
    int forgotten = 0;
    programs.first.AddForeignWriteListener([&forgotten] { ++forgotten; });

    programs.first.Take().Release(); // the first turn: nothing to compare with
    {
        KeyboardTurn::Hold reading = programs.second.Take();
        ASSERT_TRUE(reading); // reads only
    }
    EXPECT_FALSE(programs.first.OthersWroteSinceLastTurn());
    programs.first.Take().Release();
    EXPECT_EQ(programs.first.ForeignWrites(), 0u);
    EXPECT_EQ(forgotten, 0);

    {
        KeyboardTurn::Hold writing = programs.second.Take();
        programs.second.NoteWrite();
    }
    EXPECT_TRUE(programs.first.OthersWroteSinceLastTurn());
    programs.first.Take().Release();
    EXPECT_EQ(programs.first.ForeignWrites(), 1u);
    EXPECT_EQ(forgotten, 1);
    EXPECT_FALSE(programs.first.OthersWroteSinceLastTurn());

    // Its own writes are no news to the writer.
    {
        KeyboardTurn::Hold writing = programs.first.Take();
        programs.first.NoteWrite();
    }
    programs.first.Take().Release();
    EXPECT_EQ(programs.first.ForeignWrites(), 1u);
    programs.second.Take().Release();
    EXPECT_EQ(programs.second.ForeignWrites(), 1u);
}

// A generation file nobody can use (here: a folder in its place) leaves no way to tell, so every
// turn after the first assumes that others wrote.
TEST(KeyboardTurn, WithoutAGenerationFileEveryTurnAssumesOthersWrote) {
    test::TempFolder folder;
    std::filesystem::create_directory(folder / "generation");
    const TurnPlace place{.lockFile = folder / "lock",
                          .generationFile = folder / "generation",
                          .createLockFile = true};
    KeyboardTurn turn([&place] { return place; });
    for (int i = 0; i < 3; ++i)
        turn.Take().Release();
    EXPECT_EQ(turn.ForeignWrites(), 2u);
}

TEST(KeyboardTurn, AKeyboardOfThisProcessAloneNeedsNoLock) {
    KeyboardTurn first([] { return std::nullopt; });
    KeyboardTurn second([] { return std::nullopt; });
    KeyboardTurn::Hold held = first.Take();
    EXPECT_TRUE(held);
    EXPECT_TRUE(second.Take(0ms));
}

TEST(KeyboardTurn, ALockFileThatIsALinkIsNotUsed) {
    test::TempFolder folder;
    std::filesystem::create_symlink(folder / "elsewhere", folder / "keyboard.sock.lock");
    KeyboardTurn turn([&folder] { return SocketTurnPlace(folder / "keyboard.sock"); });
    const KeyboardTurn::Hold hold = turn.Take(0ms);
    EXPECT_EQ(hold.Outcome(), TurnOutcome::Failed);
    EXPECT_NE(hold.Problem().find("keyboard.sock.lock"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder / "elsewhere"));
}

TEST(KeyboardTurn, CancellingEndsAWaitThatHasNoLimit) {
    TwoPrograms programs;
    KeyboardTurn::Hold held = programs.first.Take();
    std::jthread canceller([&programs] {
        std::this_thread::sleep_for(50ms);
        programs.second.Cancel();
    });
    EXPECT_EQ(programs.second.Take(std::nullopt).Outcome(), TurnOutcome::Cancelled);
}

// Another process holds the keyboard: a wait of over a second says who, and so does the wait's
// end.
TEST(KeyboardTurn, AWaitNamesTheProgramHoldingTheKeyboard) {
    test::TempFolder folder;
    const TurnPlace place = SocketTurnPlace(folder / "keyboard.sock");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t holder = ::fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        const int fd = ::open(place.lockFile.c_str(), O_RDONLY | O_CREAT, 0600);
        ::flock(fd, LOCK_EX);
        [[maybe_unused]] const ssize_t told = ::write(ready[1], "x", 1);
        ::pause();
        ::_exit(0);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);

    KeyboardTurn turn([&place] { return place; });
    std::string noticed;
    turn.SetWaitNotice([&noticed](const std::string& who) { noticed = who; });
    const KeyboardTurn::Hold hold = turn.Take(1500ms);
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);

    const std::string pid = "(pid " + std::to_string(holder) + ")";
    EXPECT_EQ(hold.Outcome(), TurnOutcome::TimedOut);
    EXPECT_NE(hold.Problem().find(pid), std::string::npos) << hold.Problem();
    EXPECT_NE(noticed.find(pid), std::string::npos) << noticed;
    EXPECT_TRUE(turn.Take(1s)); // the holder is gone
}

TEST(KeyboardTurn, FlockHoldersAreFoundInProcLocks) {
    const std::string locks = "1: POSIX  ADVISORY  WRITE 300 fe:00:77 0 EOF\n"
                              "2: FLOCK  ADVISORY  READ  301 fe:00:77 0 EOF\n"
                              "3: FLOCK  ADVISORY  WRITE 302 fe:01:77 0 EOF\n"
                              "4: FLOCK  ADVISORY  WRITE 303 fe:00:78 0 EOF\n"
                              "5: FLOCK  ADVISORY  WRITE 99 fe:00:77 0 EOF\n"
                              "5: -> FLOCK  ADVISORY  WRITE 305 fe:00:77 0 EOF\n"
                              "6: FLOCK  ADVISORY  WRITE 306 fe:00:77 0 EOF\n";
    struct Case {
        unsigned major, minor;
        uint64_t inode;
        pid_t self;
        std::optional<pid_t> holder;
    };
    const Case cases[] = {
        {0xfe, 0, 77, 1, 99},          // the first exclusive flock of that file
        {0xfe, 0, 77, 99, 306},        // never this process itself, nor a waiter
        {0xfe, 1, 77, 1, 302},         // the device tells files apart
        {0xfe, 0, 78, 1, 303},         // so does the inode
        {0xfe, 0, 79, 1, std::nullopt} // no holder listed
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.major << ":" << c.minor << ":" << c.inode);
        EXPECT_EQ(FindFlockHolder(locks, c.major, c.minor, c.inode, c.self), c.holder);
    }
}

// The emulated keyboard shown as one that other programs share through `place`; counts how
// often a turn asked where to take it, which is once per turn tried.
class SharedKeyboardBridge final : public ForwardingHidBridge {
public:
    SharedKeyboardBridge(HidBridge& inner, TurnPlace place)
        : ForwardingHidBridge(inner)
        , place_(std::move(place)) {}
    std::optional<TurnPlace> KeyboardTurnPlace() const override {
        ++turnsTried;
        return place_;
    }
    mutable int turnsTried = 0;

private:
    TurnPlace place_;
};

// An operation whose turn cannot be had sends nothing, and the exchanges inside it do not try
// for the turn again, one after the other.
TEST(KeyboardTurn, ABracketWithoutTheTurnSendsNothing) {
    test::TempFolder folder;
    const TurnPlace place = SocketTurnPlace(folder / "keyboard.sock");
    KeyboardTurn other([&place] { return place; });
    const KeyboardTurn::Hold otherHolds = other.Take();

    test::KeyboardRig rig;
    SharedKeyboardBridge shared(rig.log, place);
    FrameExchange exchange(shared, rig.clock);
    exchange.Turn().SetWaitLimit(20ms);
    DeviceCommands commands(exchange);
    const auto results = exchange.RunBracketed([&] {
        KeyMapBlock block{};
        return std::pair(commands.BeginConfiguration(), commands.ReadKeyMapBlock(0, block));
    });
    EXPECT_EQ(results.first, DeviceResult::KeyboardBusy);
    EXPECT_EQ(results.second, DeviceResult::KeyboardBusy);
    EXPECT_EQ(shared.turnsTried, 1);
    EXPECT_TRUE(rig.log.Frames().empty());
}

} // namespace
} // namespace tavrik
