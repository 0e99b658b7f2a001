// Replacing files all or nothing, on real files in a temporary folder.
#include "files/file_replace.h"
#include "support/file_modes.h"
#include "support/temp_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <sys/stat.h>

namespace tavrik {
namespace {

using ::testing::HasSubstr;
using ::testing::UnorderedElementsAre;

const std::vector<uint8_t> kOld{'o', 'l', 'd'};
const std::vector<uint8_t> kNew{'n', 'e', 'w', 0, 0xFF};

std::vector<std::string> Names(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().native());
    return names;
}

TEST(FileReplace, NewContentsUnderTheSameNameWithNothingLeftBeside) {
    test::TempFolder folder;
    test::WriteBytes(folder / "kept.tvk", kOld);
    std::string error;
    ASSERT_TRUE(ReplaceFile(folder / "kept.tvk", kNew, &error)) << error;
    EXPECT_EQ(test::ReadBytes(folder / "kept.tvk"), kNew);
    ASSERT_TRUE(ReplaceFile(folder / "new.tvk", kNew, &error)) << error;
    EXPECT_EQ(test::ReadBytes(folder / "new.tvk"), kNew);
    EXPECT_THAT(Names(folder.Path()), UnorderedElementsAre("kept.tvk", "new.tvk"));
}

// Every file written this way holds the user's data: a new one is 0600 whatever the umask; a
// replaced one loses every bit beyond the owner's read and write and keeps a stricter mode.
TEST(FileReplace, TheFileIsPrivateWhateverTheUmaskAndTheModeItHadBefore) {
    const struct {
        const char* what;
        mode_t umask;
        std::optional<mode_t> before; // nothing: the file is new
        mode_t after;
    } cases[] = {
        {"new, usual umask", 022, std::nullopt, 0600},
        {"new, no umask", 0, std::nullopt, 0600},
        {"new, umask taking the owner's write", 0277, std::nullopt, 0600},
        {"readable by all", 022, 0644, 0600},
        {"readable by the group", 022, 0640, 0600},
        {"executable and writable by all", 022, 0777, 0600},
        {"private already", 022, 0600, 0600},
        {"read-only for the owner", 022, 0400, 0400},
        {"read-only for all", 022, 0444, 0400},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempFolder folder;
        const std::filesystem::path path = folder / "profile.tvk";
        if (c.before) {
            test::WriteBytes(path, kOld);
            ASSERT_EQ(::chmod(path.c_str(), *c.before), 0);
        }
        std::string error;
        {
            const test::ScopedUmask mask(c.umask);
            ASSERT_TRUE(ReplaceFile(path, kNew, &error)) << error;
        }
        EXPECT_EQ(test::ModeOf(path), test::Octal(c.after));
        EXPECT_EQ(test::ReadBytes(path), kNew);
    }
}

// Linux file names are bytes: a name that is no valid UTF-8 is written as given, not as a
// look-alike with replacement characters.
TEST(FileReplace, TakesTheNameByteForByte) {
    test::TempFolder folder;
    const std::string name = "caf\xE9-\xFF\xFE.tvk";
    std::string error;
    ASSERT_TRUE(ReplaceFile(folder / name, kNew, &error)) << error;
    EXPECT_THAT(Names(folder.Path()), UnorderedElementsAre(name));
    EXPECT_EQ(test::ReadBytes(folder / name), kNew);
}

TEST(FileReplace, ALinkKeepsPointingToTheReplacedFileWhichBecomesPrivate) {
    test::TempFolder folder;
    test::WriteBytes(folder / "target", kOld);
    ASSERT_EQ(::chmod((folder / "target").c_str(), 0644), 0);
    std::filesystem::create_symlink("target", folder / "link");
    std::string error;
    ASSERT_TRUE(ReplaceFile(folder / "link", kNew, &error)) << error;
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "link"));
    EXPECT_EQ(test::ReadBytes(folder / "target"), kNew);
    EXPECT_EQ(test::ModeOf(folder / "target"), "0600");
}

TEST(FileReplace, AFailedReplacementLeavesEverythingAsItWasAndSaysWhy) {
    test::TempFolder folder;
    test::WriteBytes(folder / "plain", kOld);
    std::filesystem::create_directory(folder / "folder");
    const struct {
        const char* what;
        std::filesystem::path path;
        const char* reason;
    } cases[] = {
        {"a folder that does not exist", folder / "none" / "file", "No such file or directory"},
        {"a name inside a plain file", folder / "plain" / "file", "Not a directory"},
        {"a folder in the way", folder / "folder", "Is a directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string error;
        EXPECT_FALSE(ReplaceFile(c.path, kNew, &error));
        EXPECT_THAT(error, HasSubstr(c.reason));
        EXPECT_EQ(test::ReadBytes(folder / "plain"), kOld);
        EXPECT_THAT(Names(folder.Path()), UnorderedElementsAre("plain", "folder"));
    }
}

} // namespace
} // namespace tavrik
