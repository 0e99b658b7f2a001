// Bounded reading of outside files on real files in a temporary folder.
#include "files/file_read.h"
#include "support/odd_files.h"
#include "support/temp_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tavrik {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

constexpr FileKind kSmall{"a test file", 100};

TEST(FileRead, RefusesWhatIsNoRegularFileOrTooLargeAtOnceWithItsReason) {
    test::TempFolder folder;
    for (const test::OddFile& odd : test::MakeOddFiles(folder.Path(), 1 << 20)) {
        SCOPED_TRACE(odd.what);
        const FileRead read = ReadWholeFile(odd.path, kSmall);
        EXPECT_NE(read.status, FileReadStatus::Read);
        EXPECT_TRUE(read.bytes.empty());
        const std::string problem = FileReadProblem(read, odd.path, kSmall);
        EXPECT_THAT(problem, HasSubstr(odd.path.string()));
        EXPECT_THAT(problem, HasSubstr(odd.reason));
    }
}

TEST(FileRead, ReadsAFileUpToTheLargestSizeAndNoFurther) {
    test::TempFolder folder;
    const std::vector<uint8_t> largest(kSmall.largestSize, 0x5A);
    std::vector<uint8_t> tooLarge = largest;
    tooLarge.push_back(0x5A);
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        FileReadStatus status;
        const char* problem;
    } cases[] = {
        {"empty", {}, FileReadStatus::Read, ""},
        {"largest", largest, FileReadStatus::Read, ""},
        {"one byte more", tooLarge, FileReadStatus::TooLarge,
         ": too large for a test file (101 bytes, at most 100)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::WriteBytes(folder / c.name, c.bytes);
        const FileRead read = ReadWholeFile(folder / c.name, kSmall);
        EXPECT_EQ(read.status, c.status);
        EXPECT_EQ(read.bytes, c.status == FileReadStatus::Read ? c.bytes : std::vector<uint8_t>{});
        EXPECT_EQ(FileReadProblem(read, folder / c.name, kSmall),
                  *c.problem ? (folder / c.name).string() + c.problem : "");
    }
}

TEST(FileRead, AMissingFileIsToldApartAndNamedInTheSystemsWords) {
    test::TempFolder folder;
    const FileRead read = ReadWholeFile(folder / "missing", kSmall);
    EXPECT_EQ(read.status, FileReadStatus::Missing);
    EXPECT_EQ(FileReadProblem(read, folder / "missing", kSmall),
              "cannot read " + (folder / "missing").string() + ": No such file or directory");
}

TEST(FileRead, ALinkToARegularFileIsFollowed) {
    test::TempFolder folder;
    test::WriteBytes(folder / "target", {1, 2, 3});
    std::filesystem::create_symlink(folder / "target", folder / "link");
    const FileRead read = ReadWholeFile(folder / "link", kSmall);
    EXPECT_EQ(read.status, FileReadStatus::Read);
    EXPECT_EQ(read.bytes, (std::vector<uint8_t>{1, 2, 3}));
}

} // namespace
} // namespace tavrik
