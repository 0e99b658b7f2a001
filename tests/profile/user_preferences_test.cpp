#include "profile/user_preferences.h"
#include "support/temp_folder.h"

#include <QSettings>

#include <gtest/gtest.h>

namespace tavrik {
namespace {

class UserPreferencesTest : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(config_.Path().string()));
    }

    std::filesystem::path StoreFile() const {
        return config_ / kSettingsOrganisation / "tavrik.conf";
    }

    void Store(const QString& name, const QString& value) {
        QSettings(QLatin1String(kSettingsOrganisation), QStringLiteral("tavrik"))
            .setValue(QStringLiteral("PROFILES/") + name, value);
    }

    test::TempFolder config_;
    UserPreferences preferences_{QStringLiteral("tavrik")};
};

TEST_F(UserPreferencesTest, FlipToggledTwiceFromMissingStoresOneThenZero) {
    EXPECT_FALSE(preferences_.Flip());
    EXPECT_TRUE(preferences_.ToggleFlip());
    EXPECT_EQ(preferences_.StoredValue(QStringLiteral("Flip")), QStringLiteral("1"));
    EXPECT_TRUE(preferences_.Flip());
    EXPECT_FALSE(preferences_.ToggleFlip());
    EXPECT_EQ(preferences_.StoredValue(QStringLiteral("Flip")), QStringLiteral("0"));
    EXPECT_TRUE(std::filesystem::exists(StoreFile()));
}

TEST_F(UserPreferencesTest, OddStoredValuesAreNormalised) {
    const struct {
        const char* name;
        const char* stored;
        bool (UserPreferences::*operation)() const;
        bool result;
        const char* storedAfter;
    } cases[] = {
        {"Flip", "7", &UserPreferences::ToggleFlip, false, "0"},
        {"Flip", "abc", &UserPreferences::ToggleFlip, true, "1"},
        {"Flip", "7", &UserPreferences::Flip, false, "7"},
        {"RecordDelay", "5", &UserPreferences::LoadRecordDelay, false, "0"},
        {"RecordDelay", "1", &UserPreferences::LoadRecordDelay, true, "1"},
        {"RecordDelay", "5", &UserPreferences::ToggleRecordDelay, true, "1"},
        {"RecordDelay", "1", &UserPreferences::ToggleRecordDelay, false, "0"},
    };
    for (const auto& c : cases) {
        const QString name = QLatin1String(c.name);
        Store(name, QLatin1String(c.stored));
        EXPECT_EQ((preferences_.*c.operation)(), c.result) << c.name << " " << c.stored;
        EXPECT_EQ(preferences_.StoredValue(name), QLatin1String(c.storedAfter)) << c.name;
    }
}

TEST_F(UserPreferencesTest, ProfileListOfTwoThenOneRowLeavesTheSecondValue) {
    preferences_.WriteProfileList({"/home/u/Documents/a.tvk", "/media/b.tvk"});
    preferences_.WriteProfileList({"/home/u/Documents/c.tvk"});
    EXPECT_EQ(preferences_.StoredValue(QStringLiteral("PROFILE00")), QStringLiteral("1"));
    EXPECT_EQ(preferences_.StoredValue(QStringLiteral("PROFILE01")),
              QStringLiteral("/home/u/Documents/c.tvk"));
    EXPECT_EQ(preferences_.StoredValue(QStringLiteral("PROFILE02")),
              QStringLiteral("/media/b.tvk"));
    EXPECT_EQ(ProfileListValueName(12), QStringLiteral("PROFILE12"));
}

} // namespace
} // namespace tavrik
