#include "profile/profile_file.h"
#include "profile/profile_file_format.h"
#include "profile/profile_manager_model.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <functional>

namespace tavrik {
namespace {

class ProfileManagerModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(EnsureStorageFolder(paths_));
        model_.SetChangedCallback([this] { ++changes_; });
    }

    test::TempFolder documents_;
    StoragePaths paths_ = StoragePathsIn(documents_.Path());
    ProfileManagerModel model_;
    int changes_ = 0;
};

TEST_F(ProfileManagerModelTest, OpensWithTheThreeHardwareProfilesAndTheActiveOneChecked) {
    const std::u16string folder = paths_.folder.u16string() + u"/";
    for (int active : {-1, 0, 2}) {
        model_.Open(active, paths_);
        ASSERT_EQ(model_.Rows().size(), 3u);
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(model_.Rows()[i], (ProfileRow{u"$Profile0", folder, int(i) == active}));
        }
        EXPECT_FALSE(model_.IsModified());
        EXPECT_TRUE(model_.IsOpen());
        model_.Close();
        EXPECT_FALSE(model_.IsOpen());
    }
    EXPECT_GT(changes_, 0);
}

TEST_F(ProfileManagerModelTest, AddWritesADefaultFileAndLoadOnlyAppendsARow) {
    model_.Open(0, paths_);
    const auto added = ProfileManagerModel::NewProfileSuggestion(paths_).concat(".tvk");
    EXPECT_EQ(added.filename().u16string(), u"新情景模式.tvk");
    ASSERT_TRUE(model_.AddNewProfile(added));
    EXPECT_EQ(ValidateProfileFile(added, [](std::u16string_view) { FAIL(); }),
              ProfileFileCheck::Acceptable);
    EXPECT_TRUE(model_.IsModified());

    const auto other = documents_ / "notes.txt";
    test::WriteText(other, "not a profile");
    model_.AppendProfile(other);
    EXPECT_EQ(test::ReadText(other), "not a profile");

    ASSERT_EQ(model_.Rows().size(), 5u);
    EXPECT_EQ(model_.Rows()[3], (ProfileRow{u"新情景模式", paths_.folder.u16string() + u"/", false,
                                            added, ProfileFileState::Present}));
    EXPECT_EQ(model_.Rows()[4], (ProfileRow{u"notes", documents_.Path().u16string() + u"/", false,
                                            other, ProfileFileState::Damaged}));
    EXPECT_EQ(model_.RowPaths()[4], documents_ / "notes.tvk");
    EXPECT_EQ(model_.RowPaths()[0], paths_.folder / "$Profile0.tvk");

    EXPECT_FALSE(model_.AddNewProfile(documents_ / "missing folder" / "x.tvk"));
    EXPECT_EQ(model_.Rows().size(), 5u);
}

TEST_F(ProfileManagerModelTest, AtMostOneRowIsCheckedAndDeleteSelectsANeighbour) {
    model_.Open(1, paths_);
    model_.AppendProfile(documents_ / "d.tvk");
    model_.ClearModified();

    model_.SetChecked(3, true);
    EXPECT_EQ(model_.FirstCheckedRow(), 3u);
    EXPECT_FALSE(model_.Rows()[1].checked);
    EXPECT_TRUE(model_.IsModified());
    model_.SetChecked(3, false);
    EXPECT_EQ(model_.FirstCheckedRow(), std::nullopt);

    EXPECT_EQ(model_.DeleteRow(1), 1u); // the row after it
    EXPECT_EQ(model_.DeleteRow(2), 1u); // the last row: the one before
    EXPECT_EQ(model_.DeleteRow(5), std::nullopt);
    EXPECT_EQ(model_.DeleteRow(0), 0u);
    EXPECT_EQ(model_.DeleteRow(0), std::nullopt);
    EXPECT_TRUE(model_.Rows().empty());

    model_.Open(0, paths_);
    model_.FollowActiveProfile(2);
    EXPECT_EQ(model_.FirstCheckedRow(), 2u);
    EXPECT_FALSE(model_.IsModified());
}

TEST_F(ProfileManagerModelTest, LoadedRowsSayWhatTheirFileIsWithoutLoadingIt) {
    const struct {
        const char* name;
        std::function<void(const std::filesystem::path&)> make;
        ProfileFileState state;
    } cases[] = {
        {"a default profile file", [](const auto& file) { CreateDefaultProfileFile(file); },
         ProfileFileState::Present},
        {"no file", [](const auto&) {}, ProfileFileState::Missing},
        {"an empty file", [](const auto& file) { test::WriteText(file, ""); },
         ProfileFileState::Damaged},
        {"a record of zeros, no header",
         [](const auto& file) { test::WriteBytes(file, std::vector<uint8_t>(kProfileRecordSize)); },
         ProfileFileState::Damaged},
        {"larger than any profile file",
         [](const auto& file) {
             CreateDefaultProfileFile(file);
             std::filesystem::resize_file(file, kLargestProfileFile + 1);
         },
         ProfileFileState::Damaged},
        {"a folder", [](const auto& file) { std::filesystem::create_directory(file); },
         ProfileFileState::Unreadable},
    };
    model_.Open(0, paths_);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto file = documents_ / (std::string(c.name) + ".tvk");
        c.make(file);
        const bool regular = std::filesystem::is_regular_file(file);
        const auto before = regular ? std::filesystem::file_size(file) : 0;
        model_.AppendProfile(file);
        EXPECT_EQ(model_.Rows().back().fileState, c.state);
        EXPECT_EQ(model_.Rows().back().file, file);
        EXPECT_EQ(JudgeProfileFile(file), c.state);
        if (regular) {
            EXPECT_EQ(std::filesystem::file_size(file), before);
        }
    }
    EXPECT_EQ(model_.Rows()[0].fileState, ProfileFileState::NoFile);
}

TEST_F(ProfileManagerModelTest, ARecheckSeesAFileThatWentMissingOrWasRepaired) {
    model_.Open(0, paths_);
    const auto file = documents_ / "game.tvk";
    ASSERT_TRUE(model_.AddNewProfile(file));
    model_.ClearModified();
    const int changesBefore = changes_;
    model_.RecheckFiles();
    EXPECT_EQ(changes_, changesBefore); // nothing changed: nothing to redraw

    std::filesystem::remove(file);
    model_.RecheckFiles();
    EXPECT_EQ(model_.Rows()[3].fileState, ProfileFileState::Missing);
    EXPECT_EQ(changes_, changesBefore + 1);

    ASSERT_TRUE(CreateDefaultProfileFile(file));
    model_.RecheckFiles();
    EXPECT_EQ(model_.Rows()[3].fileState, ProfileFileState::Present);
    EXPECT_FALSE(model_.IsModified());
    for (size_t row = 0; row < 3; ++row) {
        EXPECT_EQ(model_.Rows()[row].fileState, ProfileFileState::NoFile);
    }
}

} // namespace
} // namespace tavrik
