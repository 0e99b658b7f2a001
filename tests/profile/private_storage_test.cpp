// What the program keeps of the user's (the settings file, the per-user store, the storage folder
// and the profile files in it) is private under the usual umask; what the user made keeps its mode.
#include "profile/profile_file.h"
#include "profile/settings_file.h"
#include "profile/storage_paths.h"
#include "profile/user_preferences.h"
#include "support/file_modes.h"
#include "support/temp_folder.h"

#include <QSettings>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace tavrik {
namespace {

using test::ModeOf;

// Makes a folder of the user's with the given mode.
void UserFolder(const std::filesystem::path& path, mode_t mode) {
    std::filesystem::create_directories(path);
    ASSERT_EQ(::chmod(path.c_str(), mode), 0) << path;
}

// A file of the user's, readable by all as files made under umask 022 are.
void UserFile(const std::filesystem::path& path, const std::string& text) {
    test::WriteText(path, text);
    ASSERT_EQ(::chmod(path.c_str(), 0644), 0) << path;
}

class PrivateStorageTest : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(Config().string()));
    }

    std::filesystem::path Documents() const { return home_ / "Documents"; }
    std::filesystem::path Config() const { return home_ / ".config"; }
    std::filesystem::path StoreFolder() const { return Config() / kSettingsOrganisation; }

    // Everything the desktop program writes of the user's at start and on the first changes,
    // then once more, so that every file is also replaced.
    void WriteEverything() const {
        ASSERT_TRUE(EnsureSettingsFolder(Documents()));
        const StoragePaths storage = StoragePathsIn(Documents());
        ASSERT_TRUE(EnsureStorageFolder(storage));
        const SettingsFile settings(SettingsFilePath(Documents()));
        const UserPreferences preferences(QStringLiteral("tavrik"));
        for (int round = 0; round < 2; ++round) {
            ASSERT_TRUE(settings.SetReportRateButton(3));
            preferences.ToggleFlip();
            ASSERT_TRUE(CreateDefaultProfileFile(storage.folder / "game.tvk"));
        }
    }

    test::TempFolder home_;
};

TEST_F(PrivateStorageTest, InAFreshHomeEveryFileIs0600AndTheProgramsFoldersAre0700) {
    const test::ScopedUmask mask(022);
    WriteEverything();
    const struct {
        std::filesystem::path path;
        mode_t mode;
    } expected[] = {
        // General folders of the home, made on the way as `mkdir -p` makes them.
        {Documents(), 0755},
        {Config(), 0755},
        {Documents() / "Tavrik", 0700},
        {Documents() / "Tavrik/zezi.ini", 0600},
        {Documents() / kStorageFolderName, 0700},
        {Documents() / kStorageFolderName / "game.tvk", 0600},
        {StoreFolder(), 0700},
        {StoreFolder() / "tavrik.conf", 0600},
    };
    for (const auto& e : expected)
        EXPECT_EQ(ModeOf(e.path), test::Octal(e.mode)) << e.path;
    EXPECT_EQ(UserPreferences(QStringLiteral("tavrik")).StoredValue(QStringLiteral("Flip")),
              QStringLiteral("0"));
}

// The folders were there (the user's), and so were the files, readable by all: the folders keep
// their modes, the files become private and keep what else they held.
TEST_F(PrivateStorageTest, InAHomeTheUserSetUpFoldersKeepTheirModesAndFilesBecomePrivate) {
    const test::ScopedUmask mask(022);
    UserFolder(Documents(), 0751);
    UserFolder(Documents() / "Tavrik", 0755);
    UserFolder(Documents() / kStorageFolderName, 0711);
    UserFolder(StoreFolder(), 0750);
    UserFile(Documents() / "Tavrik/zezi.ini", "[KEYCOLOR]\nDengCheck=1\n");
    UserFile(StoreFolder() / "tavrik.conf", "[PROFILES]\nPROFILE00=0\n");
    UserFile(Documents() / kStorageFolderName / "game.tvk", "old");
    WriteEverything();
    const struct {
        std::filesystem::path path;
        mode_t mode;
    } expected[] = {
        {Documents(), 0751},
        {Documents() / "Tavrik", 0755},
        {Documents() / "Tavrik/zezi.ini", 0600},
        {Documents() / kStorageFolderName, 0711},
        {Documents() / kStorageFolderName / "game.tvk", 0600},
        {StoreFolder(), 0750},
        {StoreFolder() / "tavrik.conf", 0600},
    };
    for (const auto& e : expected)
        EXPECT_EQ(ModeOf(e.path), test::Octal(e.mode)) << e.path;
    EXPECT_TRUE(SettingsFile(SettingsFilePath(Documents())).LightingEditMode());
    EXPECT_EQ(UserPreferences(QStringLiteral("tavrik")).StoredValue(QStringLiteral("PROFILE00")),
              QStringLiteral("0"));
}

} // namespace
} // namespace tavrik
