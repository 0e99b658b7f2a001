// Replacing files all or nothing, on real files in a temporary folder.
#include "files/file_replace.h"
#include "support/temp_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace tavrik {
namespace {

using ::testing::HasSubstr;
using ::testing::UnorderedElementsAre;

const std::vector<uint8_t> kOld{'o', 'l', 'd'};
const std::vector<uint8_t> kNew{'n', 'e', 'w', 0, 0xFF};

mode_t Mode(const std::filesystem::path& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

std::vector<std::string> Names(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().native());
    return names;
}

TEST(FileReplace, NewContentsUnderTheSameNameAndPermissionsWithNothingLeftBeside) {
    test::TempFolder folder;
    test::WriteBytes(folder / "kept.tvk", kOld);
    ::chmod((folder / "kept.tvk").c_str(), 0640);
    std::string error;
    ASSERT_TRUE(ReplaceFile(folder / "kept.tvk", kNew, &error)) << error;
    EXPECT_EQ(test::ReadBytes(folder / "kept.tvk"), kNew);
    EXPECT_EQ(Mode(folder / "kept.tvk"), 0640u);

    const mode_t mask = ::umask(022);
    ASSERT_TRUE(ReplaceFile(folder / "new.tvk", kNew, &error)) << error;
    ::umask(mask);
    EXPECT_EQ(Mode(folder / "new.tvk"), 0644u);
    EXPECT_THAT(Names(folder.Path()), UnorderedElementsAre("kept.tvk", "new.tvk"));
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

TEST(FileReplace, ALinkKeepsPointingToTheReplacedFile) {
    test::TempFolder folder;
    test::WriteBytes(folder / "target", kOld);
    std::filesystem::create_symlink("target", folder / "link");
    std::string error;
    ASSERT_TRUE(ReplaceFile(folder / "link", kNew, &error)) << error;
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "link"));
    EXPECT_EQ(test::ReadBytes(folder / "target"), kNew);
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
