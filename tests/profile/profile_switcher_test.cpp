#include "profile/profile_file.h"
#include "profile/profile_manager_apply.h"
#include "profile/profile_switcher.h"
#include "profile/profile_transfer.h"
#include "profile_fakes.h"
#include "support/temp_folder.h"

#include <QSettings>

#include <gtest/gtest.h>

namespace tavrik {
namespace {

constexpr ScanCode kScanA = 0x1E;
constexpr ScanCode kScanB = 0x30;

class ProfileSwitcherTest : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(config_.Path().string()));
        KeyFunctionLayers layers{};
        layers[0][KeyIndexFromScan(kScanA)] = {.type = KeyFunctionType::SingleKey, .value = kScanB};
        keyboard_.Hold(layers, {});
        store_.ReloadProfileFromKeyboard(false);
    }

    // An edit in the main window that has not been applied.
    void EditLiveProfile() {
        profile_.Record().layers[0][KeyIndexFromScan(kScanB)] = {.type = KeyFunctionType::Disabled};
        window_.modified = true;
    }

    bool EditIsThere() {
        return profile_.Record().layers[0][KeyIndexFromScan(kScanB)].type ==
               KeyFunctionType::Disabled;
    }

    test::TempFolder documents_;
    test::TempFolder config_;
    StoragePaths paths_ = StoragePathsIn(documents_.Path());
    LiveProfile profile_;
    test::FakeKeyboard keyboard_;
    test::RecordingWindow window_;
    ProfileStore store_{profile_, paths_, keyboard_, window_};
    ProfileManagerModel manager_;
    ProfileSwitcher switcher_{store_, manager_};
};

TEST_F(ProfileSwitcherTest, IndicesAboveTwoSelectProfileZeroAndNegativeOnesNothing) {
    const struct {
        int requested;
        std::vector<int> sent;
    } cases[] = {{1, {1}}, {2, {2}}, {3, {0}}, {5, {0}}, {-1, {}}};
    for (const auto& c : cases) {
        keyboard_.setCalls.clear();
        EXPECT_TRUE(switcher_.SwitchProfile(c.requested)) << c.requested;
        EXPECT_EQ(keyboard_.setCalls, c.sent) << c.requested;
    }
    EXPECT_TRUE(window_.questions.empty());
    EXPECT_EQ(window_.caption, u"$Profile0");
}

TEST_F(ProfileSwitcherTest, RefusedWhileTheAssignmentDialogIsOpen) {
    window_.assignmentDialogOpen = true;
    EditLiveProfile();
    EXPECT_FALSE(switcher_.SwitchProfile(1));
    EXPECT_EQ(window_.messages,
              std::vector<std::u16string>{u"当快速切换情景模式时，您首先必须关闭编辑对话框."});
    EXPECT_TRUE(keyboard_.setCalls.empty());
    EXPECT_TRUE(window_.questions.empty());
    EXPECT_TRUE(EditIsThere());
}

TEST_F(ProfileSwitcherTest, AnsweringNoRestoresTheLastMirrorBeforeSelecting) {
    EditLiveProfile();
    profile_.Texts().Set(9, u"unsaved");
    const int refreshesBefore = window_.refreshes;
    EXPECT_TRUE(switcher_.SwitchProfile(2));
    EXPECT_EQ(window_.questions, std::vector<std::u16string>{u"是否保存这个情景模式所做的设定? "});
    EXPECT_FALSE(EditIsThere());
    EXPECT_EQ(profile_.Record().layers[0][KeyIndexFromScan(kScanA)].value, kScanB);
    EXPECT_FALSE(profile_.Texts().Text(9));
    EXPECT_FALSE(window_.modified);
    EXPECT_EQ(window_.applies, 0);
    EXPECT_EQ(keyboard_.setCalls, std::vector<int>{2});
    EXPECT_EQ(window_.refreshes, refreshesBefore + 1);
}

TEST_F(ProfileSwitcherTest, AnsweringYesAppliesAndKeepsTheEdits) {
    EditLiveProfile();
    window_.answerYes = true;
    window_.onApply = [this] { EXPECT_EQ(keyboard_.setCalls, std::vector<int>{}); };
    EXPECT_TRUE(switcher_.SwitchProfile(1));
    EXPECT_EQ(window_.applies, 1);
    EXPECT_TRUE(EditIsThere());
    EXPECT_EQ(keyboard_.setCalls, std::vector<int>{1});
}

TEST_F(ProfileSwitcherTest, ASwitchDuringTheQuestionDoesNotAskAgain) {
    EditLiveProfile();
    window_.whileAsking = [this] { EXPECT_TRUE(switcher_.SwitchProfile(1)); };
    EXPECT_TRUE(switcher_.SwitchProfile(2));
    EXPECT_EQ(window_.questions.size(), 1u);
    EXPECT_EQ(keyboard_.setCalls, (std::vector<int>{1, 2}));
}

TEST_F(ProfileSwitcherTest, TheOpenProfileManagerFollowsAndCountsAsModified) {
    manager_.Open(0, paths_);
    EXPECT_TRUE(switcher_.SwitchProfile(2));
    EXPECT_EQ(manager_.FirstCheckedRow(), 2u);

    manager_.SetChecked(0, true);
    EXPECT_TRUE(switcher_.SwitchProfile(1));
    EXPECT_EQ(window_.questions.size(), 1u);
}

TEST_F(ProfileSwitcherTest, ManagerApplyOfFourRowsWithTheFourthCheckedSelectsIndexThree) {
    manager_.Open(0, paths_);
    manager_.AppendProfile(documents_ / "fourth.tvk");
    manager_.SetChecked(3, true);
    window_.modified = true;
    const UserPreferences preferences(QStringLiteral("tavrik"));

    ApplyProfileManager(store_, manager_, preferences);
    EXPECT_EQ(keyboard_.setCalls, std::vector<int>{3});
    // The reload read the keyboard: index 3 is one of the four layers, all Default there.
    EXPECT_EQ(profile_.Record().layers[3], KeyFunctionLayer{});
    EXPECT_EQ(profile_.Record().layers[0][KeyIndexFromScan(kScanA)].value, kScanB);
    EXPECT_EQ(window_.caption, u"");
    EXPECT_EQ(window_.tooltip, u"当前情景模式: ");
    EXPECT_FALSE(manager_.IsModified());
    EXPECT_FALSE(window_.modified);
    EXPECT_EQ(preferences.StoredValue(QStringLiteral("PROFILE00")), QStringLiteral("4"));
    EXPECT_EQ(preferences.StoredValue(QStringLiteral("PROFILE04")),
              QString::fromStdString((documents_ / "fourth.tvk").string()));
    EXPECT_FALSE(std::filesystem::exists(documents_ / "fourth.tvk"));
}

TEST_F(ProfileSwitcherTest, ManagerApplyThatTheKeyboardRefusesIsSaidAndChangesNothingElse) {
    const UserPreferences preferences(QStringLiteral("tavrik"));
    preferences.WriteProfileList({documents_ / "earlier.tvk"});
    manager_.Open(1, paths_);
    manager_.AppendProfile(documents_ / "fourth.tvk");
    manager_.SetChecked(3, true);
    EditLiveProfile();
    keyboard_.refuseWrites = true;

    ApplyProfileManager(store_, manager_, preferences);
    EXPECT_EQ(keyboard_.setCalls, std::vector<int>{3});
    EXPECT_EQ(
        window_.messages,
        std::vector<std::u16string>{
            u"键盘没有切换到第 4 行的情景模式，键盘上的设定没有改变。\n键盘只有三个情景模式。"});
    // The keyboard is asked again which profile it uses, and the caption shows it.
    EXPECT_EQ(keyboard_.CachedActiveProfileIndex(), 0);
    EXPECT_EQ(window_.caption, u"$Profile0");
    EXPECT_TRUE(EditIsThere());
    EXPECT_TRUE(window_.modified);
    EXPECT_TRUE(manager_.IsModified());
    EXPECT_EQ(preferences.StoredValue(QStringLiteral("PROFILE00")), QStringLiteral("1"));
    EXPECT_TRUE(keyboard_.downloads.empty());

    // A row the keyboard has, refused all the same (the write failed): no word of three profiles.
    window_.messages.clear();
    manager_.SetChecked(1, true);
    ApplyProfileManager(store_, manager_, preferences);
    EXPECT_EQ(window_.messages, std::vector<std::u16string>{
                                    u"键盘没有切换到第 2 行的情景模式，键盘上的设定没有改变。"});
}

// The user wants the main window's edits applied first, and they cannot be written (the window
// has told why and stays modified): the reload would replace them with what the keyboard holds,
// so nothing else happens.
TEST_F(ProfileSwitcherTest, ManagerApplyStopsWhenTheWindowsEditsCannotBeWritten) {
    const UserPreferences preferences(QStringLiteral("tavrik"));
    preferences.WriteProfileList({documents_ / "earlier.tvk"});
    manager_.Open(0, paths_);
    manager_.SetChecked(1, true);
    EditLiveProfile();
    window_.answerYes = true;
    window_.onApply = [this] { window_.modified = true; };

    ApplyProfileManager(store_, manager_, preferences);
    EXPECT_EQ(window_.applies, 1);
    EXPECT_TRUE(keyboard_.setCalls.empty());
    EXPECT_TRUE(EditIsThere());
    EXPECT_TRUE(window_.modified);
    EXPECT_TRUE(manager_.IsModified());
    EXPECT_EQ(preferences.StoredValue(QStringLiteral("PROFILE00")), QStringLiteral("1"));
}

TEST_F(ProfileSwitcherTest, ManagerApplyAsksBeforeTheReloadDropsTheWindowsEdits) {
    const UserPreferences preferences(QStringLiteral("tavrik"));
    for (const bool yes : {true, false}) {
        SCOPED_TRACE(yes ? "Yes" : "No");
        window_.questions.clear();
        window_.applies = 0;
        window_.answerYes = yes;
        manager_.Open(0, paths_);
        manager_.SetChecked(1, true);
        EditLiveProfile();

        ApplyProfileManager(store_, manager_, preferences);
        EXPECT_EQ(window_.questions,
                  std::vector<std::u16string>{u"是否保存这个情景模式所做的设定? "});
        EXPECT_EQ(window_.applies, yes ? 1 : 0);
        EXPECT_EQ(keyboard_.active, 1);
        EXPECT_FALSE(window_.modified);
        EXPECT_FALSE(manager_.IsModified());
        manager_.Close();
    }
    // Nothing unsaved: nothing asked.
    window_.questions.clear();
    manager_.Open(1, paths_);
    manager_.SetChecked(2, true);
    ApplyProfileManager(store_, manager_, preferences);
    EXPECT_TRUE(window_.questions.empty());
    EXPECT_EQ(keyboard_.active, 2);
}

TEST_F(ProfileSwitcherTest, ImportOfAMalformedFileShowsTwoMessagesAndChangesNothing) {
    const auto path = documents_ / "bad.tvk";
    std::vector<uint8_t> bytes(32'832, 0);
    test::WriteBytes(path, bytes);
    EditLiveProfile();
    const ProfileRecord before = profile_.Record();

    EXPECT_EQ(ImportProfile(store_, path), ImportOutcome::Refused);
    EXPECT_EQ(window_.messages,
              (std::vector<std::u16string>{u"文件格式错误，恢复为默认值: \n  " + path.u16string(),
                                           u"文件格式错误，导入失败! "}));
    EXPECT_EQ(profile_.Record(), before);
    EXPECT_TRUE(keyboard_.downloads.empty());
    EXPECT_TRUE(window_.modified);

    window_.messages.clear();
    EXPECT_EQ(ImportProfile(store_, documents_ / "missing.tvk"), ImportOutcome::Refused);
    EXPECT_EQ(window_.messages, std::vector<std::u16string>{u"文件格式错误，导入失败! "});
}

TEST_F(ProfileSwitcherTest, ImportLoadsSavesToTheStoreAndDownloadsAllProfiles) {
    LiveProfile source;
    source.Record().layers[2][5] = {.type = KeyFunctionType::StopMacro};
    source.Record().Entry(1030) = {.type = KeyFunctionType::LaunchProgram};
    source.Texts().Set(1030, u"/usr/bin/gimp");
    const auto path = documents_ / "backup.tvk";
    ASSERT_TRUE(SaveProfileFile(source, path));
    EditLiveProfile();

    EXPECT_EQ(ImportProfile(store_, path), ImportOutcome::Downloaded);
    EXPECT_TRUE(window_.messages.empty());
    EXPECT_EQ(profile_.Record().layers, source.Record().layers);
    EXPECT_EQ(profile_.Texts().Text(1030), u"/usr/bin/gimp");
    ASSERT_EQ(keyboard_.downloads.size(), 1u);
    EXPECT_TRUE(keyboard_.downloads[0].allProfiles);
    EXPECT_FALSE(window_.modified);
    EXPECT_EQ(test::ReadBytes(paths_.storeFile), test::ReadBytes(path));

    const auto exported = documents_ / "exported.tvk";
    EXPECT_TRUE(ExportProfile(store_, exported));
    EXPECT_EQ(test::ReadBytes(exported), test::ReadBytes(path));
}

TEST_F(ProfileSwitcherTest, ImportedContentsBecomeTheSameStoreFileAsTheirProfileFile) {
    ProfileContents contents;
    contents.record.layers[1][7] = {.type = KeyFunctionType::Disabled};
    contents.record.Entry(1030) = {.type = KeyFunctionType::TextBlock};
    contents.texts.Set(1030, u"hello");
    MacroRecord macro;
    macro.id = 1;
    macro.name = u"m";
    contents.macros.push_back(macro);
    LiveProfile source;
    source.Install(ProfileContents(contents));
    const auto path = documents_ / "same.tvk";
    ASSERT_TRUE(SaveProfileFile(source, path));
    EditLiveProfile();

    EXPECT_EQ(ImportProfileContents(store_, std::move(contents)), ImportOutcome::Downloaded);
    EXPECT_TRUE(window_.messages.empty());
    ASSERT_EQ(keyboard_.downloads.size(), 1u);
    EXPECT_TRUE(keyboard_.downloads[0].allProfiles);
    EXPECT_FALSE(window_.modified);
    EXPECT_EQ(test::ReadBytes(paths_.storeFile), test::ReadBytes(path));
}

} // namespace
} // namespace tavrik
