// The real programs end to end under the usual umask (022): every file tavrikctl and tavrik-emu
// write with the user's data is 0600 and the folder made for the store file 0700; the folders the
// user made keep their modes (cli/emulated_keyboard_test.h).
#include "cli/emulated_keyboard_test.h"
#include "support/file_modes.h"

#include <QDir>

#include <optional>
#include <sys/stat.h>

namespace {

using namespace tavrik::testing_support;

class PrivateFilesEndToEnd : public EmulatedKeyboardTest {
protected:
    // Set before tavrik-emu starts: the programs inherit it.
    void SetUp() override {
        mask_.emplace(022);
        EmulatedKeyboardTest::SetUp();
    }
    void TearDown() override {
        EmulatedKeyboardTest::TearDown();
        mask_.reset();
    }

    void UserFolder(const QString& name, mode_t mode) {
        ASSERT_TRUE(QDir(folder_.path()).mkpath(name));
        ASSERT_EQ(::chmod(File(name).toLocal8Bit().constData(), mode), 0);
    }

    std::string ModeOf(const QString& name) const {
        return tavrik::test::ModeOf(File(name).toLocal8Bit().constData());
    }

    std::optional<tavrik::test::ScopedUmask> mask_;
};

constexpr int kUsageOfQ = 18 * 3 + 2; // in the key map of hardware profile 0

TEST_F(PrivateFilesEndToEnd, EverythingWrittenWithTheUsersDataIsPrivate) {
    UserFolder("home/Documents", 0751);
    UserFolder("mine", 0755);
    // Files the user has, readable by all, that the programs then replace.
    WriteFile("mine/old.tvk", "old");
    Ctl({"save", File("mine/served")});
    for (const char* name : {"mine/old.tvk", "mine/served"})
        ASSERT_EQ(::chmod(File(name).toLocal8Bit().constData(), 0644), 0);

    Do({"remap", "A", "key:B"}); // makes the storage folder and the store file
    Do({"backup", File("mine/all.tvk")});
    Do({"backup", File("mine/old.tvk")});
    Do({"export", "--text", File("mine/all.txt")});
    Ctl({"save", File("mine/state")});
    // A download the keyboard does not store as sent leaves the pending mark, and replaces the
    // store file once more.
    Ctl({"fault", "flip-keymap", QString::number(kUsageOfQ)});
    EXPECT_EQ(Tavrikctl({"remap", "Q", "key:W"}).exitCode, 1);
    Ctl({"fault", "none"});
    // A keyboard served with a state file writes it when it quits.
    StopKeyboard();
    StartKeyboard({"--state", File("mine/served")});
    StopKeyboard();

    const struct {
        const char* name;
        mode_t mode;
    } expected[] = {
        {"home/Documents", 0751},
        {"home/Documents/VOLTRI VX60 Driver", 0700},
        {"home/Documents/VOLTRI VX60 Driver/$Profile0", 0600},
        {"home/Documents/VOLTRI VX60 Driver/$Profile0.pending", 0600},
        {"mine", 0755},
        {"mine/all.tvk", 0600},
        {"mine/old.tvk", 0600},
        {"mine/all.txt", 0600},
        {"mine/state", 0600},
        {"mine/served", 0600},
    };
    for (const auto& e : expected)
        EXPECT_EQ(ModeOf(e.name), tavrik::test::Octal(e.mode)) << e.name;
}

} // namespace
