// The folders and files made for the user's data are private; what the user made is left alone.
#include "files/private_files.h"
#include "support/file_modes.h"
#include "support/temp_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <sys/stat.h>

namespace tavrik {
namespace {

using test::ModeOf;
using test::Octal;
using ::testing::HasSubstr;

const std::vector<uint8_t> kContents{'[', 'a', ']', '\n'};

// Under the usual umask a folder of the program's is 0700, missing folders above it are made as
// `mkdir -p` makes them, and a folder that exists keeps its mode, even one open to everybody.
TEST(PrivateFolder, MadeFoldersArePrivateAndExistingOnesKeepTheirMode) {
    const struct {
        const char* what;
        std::optional<mode_t> documents; // the folder above, nothing when missing
        std::optional<mode_t> folder;    // the folder itself, nothing when missing
        const char* name;                // as the caller spells it
        mode_t documentsAfter;
        mode_t folderAfter;
    } cases[] = {
        {"both missing", std::nullopt, std::nullopt, "Documents/Tavrik", 0755, 0700},
        {"the user's Documents", 0751, std::nullopt, "Documents/Tavrik", 0751, 0700},
        {"a closed Documents", 0700, std::nullopt, "Documents/Tavrik", 0700, 0700},
        {"spelt with a slash at the end", 0751, std::nullopt, "Documents/Tavrik/", 0751, 0700},
        {"the folder exists, open to all", 0751, 0777, "Documents/Tavrik", 0751, 0777},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempFolder home;
        const test::ScopedUmask mask(022);
        if (c.documents) {
            ASSERT_TRUE(std::filesystem::create_directory(home / "Documents"));
            ASSERT_EQ(::chmod((home / "Documents").c_str(), *c.documents), 0);
        }
        if (c.folder) {
            ASSERT_TRUE(std::filesystem::create_directory(home / "Documents/Tavrik"));
            ASSERT_EQ(::chmod((home / "Documents/Tavrik").c_str(), *c.folder), 0);
        }
        std::string error;
        EXPECT_TRUE(EnsurePrivateFolder(home / c.name, &error)) << error;
        EXPECT_EQ(ModeOf(home / "Documents"), Octal(c.documentsAfter));
        EXPECT_EQ(ModeOf(home / "Documents/Tavrik"), Octal(c.folderAfter));
    }
}

TEST(PrivateFolder, AFolderTheUmaskWouldCloseToItsOwnerIsStill0700) {
    test::TempFolder home;
    const test::ScopedUmask mask(0577);
    std::string error;
    EXPECT_TRUE(EnsurePrivateFolder(home / "Tavrik", &error)) << error;
    EXPECT_EQ(ModeOf(home / "Tavrik"), "0700");
}

TEST(PrivateFolder, AFileInTheWayIsReportedAndLeftAlone) {
    test::TempFolder home;
    test::WriteBytes(home / "Tavrik", kContents);
    std::string error;
    EXPECT_FALSE(EnsurePrivateFolder(home / "Tavrik", &error));
    EXPECT_THAT(error, HasSubstr("File exists"));
    EXPECT_EQ(test::ReadBytes(home / "Tavrik"), kContents);
}

// For a writer that keeps the permissions of the file it replaces: the file is there and private
// before the writer puts anything into it, and its contents are kept.
TEST(PrivateFile, PreparedFilesArePrivateWithTheirContentsKept) {
    const struct {
        const char* what;
        std::optional<mode_t> before; // nothing: neither the file nor its folder exists
        mode_t after;
        mode_t folderAfter;
    } cases[] = {
        {"new, in a new folder", std::nullopt, 0600, 0700}, {"readable by all", 0644, 0600, 0755},
        {"writable by the group", 0660, 0600, 0755},        {"private already", 0600, 0600, 0755},
        {"read-only for the owner", 0400, 0400, 0755},      {"no rights at all", 0000, 0000, 0755},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempFolder config;
        const test::ScopedUmask mask(022);
        const std::filesystem::path file = config / "Tavrik_Ostrel/tavrik.conf";
        if (c.before) {
            std::filesystem::create_directory(config / "Tavrik_Ostrel");
            test::WriteBytes(file, kContents);
            ASSERT_EQ(::chmod(file.c_str(), *c.before), 0);
        }
        std::string error;
        EXPECT_TRUE(PreparePrivateFile(file, &error)) << error;
        EXPECT_EQ(ModeOf(file), Octal(c.after));
        EXPECT_EQ(ModeOf(config / "Tavrik_Ostrel"), Octal(c.folderAfter));
        EXPECT_EQ(std::filesystem::file_size(file), c.before ? kContents.size() : 0u);
    }
}

TEST(PrivateFile, ALinkMakesItsTargetPrivateAndAFolderInTheWayIsRefused) {
    test::TempFolder folder;
    test::WriteBytes(folder / "target", kContents);
    ASSERT_EQ(::chmod((folder / "target").c_str(), 0644), 0);
    std::filesystem::create_symlink("target", folder / "link");
    std::string error;
    EXPECT_TRUE(PreparePrivateFile(folder / "link", &error)) << error;
    EXPECT_EQ(ModeOf(folder / "target"), "0600");
    EXPECT_EQ(test::ReadBytes(folder / "target"), kContents);

    std::filesystem::create_directory(folder / "folder");
    EXPECT_FALSE(PreparePrivateFile(folder / "folder", &error));
    EXPECT_THAT(error, HasSubstr("Is a directory"));
}

} // namespace
} // namespace tavrik
