#include "profile/user_preferences.h"

#include "files/private_files.h"
#include "profile/decimal_text.h"
#include "profile/native_path.h"

#include <QSettings>

namespace tavrik {

namespace {

constexpr char kGroup[] = "PROFILES";

QString Key(const QString& name) {
    return QStringLiteral("%1/%2").arg(QLatin1String(kGroup), name);
}

} // namespace

QString ProfileListValueName(int number) {
    return QStringLiteral("PROFILE%1").arg(number, 2, 10, QLatin1Char('0'));
}

UserPreferences::UserPreferences(QString applicationName)
    : applicationName_(std::move(applicationName)) {}

QString UserPreferences::StoredValue(const QString& name) const {
    const QSettings store(QLatin1String(kSettingsOrganisation), applicationName_);
    return store.value(Key(name)).toString();
}

int UserPreferences::ReadNumber(const QString& name, int fallback) const {
    const QSettings store(QLatin1String(kSettingsOrganisation), applicationName_);
    const QString text = store.value(Key(name), QString::number(fallback)).toString();
    return DecimalTextToInt(text.toStdU16String());
}

void UserPreferences::WriteText(const QString& name, const QString& value) const {
    QSettings store(QLatin1String(kSettingsOrganisation), applicationName_);
    // QSettings makes missing folders and new files as the umask says, but keeps the permissions
    // of a file it replaces: the folder and the file are made private before anything goes in.
    // A store that cannot be made private is not written (failed writes are ignored anyway).
    if (!PreparePrivateFile(FromQtPath(store.fileName()), nullptr))
        return;
    store.setValue(Key(name), value);
}

void UserPreferences::WriteNumber(const QString& name, int value) const {
    WriteText(name, QString::number(value));
}

bool UserPreferences::Flip() const {
    return ReadNumber(QStringLiteral("Flip"), 0) == 1;
}

bool UserPreferences::ToggleFlip() const {
    const int current = ReadNumber(QStringLiteral("Flip"), 0);
    const bool flipped = current == 0;
    WriteNumber(QStringLiteral("Flip"), flipped ? 1 : 0);
    return flipped;
}

bool UserPreferences::LoadRecordDelay() const {
    const bool on = ReadNumber(QStringLiteral("RecordDelay"), 0) == 1;
    WriteNumber(QStringLiteral("RecordDelay"), on ? 1 : 0);
    return on;
}

bool UserPreferences::ToggleRecordDelay() const {
    const bool on = ReadNumber(QStringLiteral("RecordDelay"), 0) != 1;
    WriteNumber(QStringLiteral("RecordDelay"), on ? 1 : 0);
    return on;
}

void UserPreferences::WriteProfileList(const std::vector<std::filesystem::path>& rows) const {
    for (size_t i = 0; i < rows.size(); ++i) {
        WriteText(ProfileListValueName(static_cast<int>(i) + 1), ToQtPath(rows[i]));
    }
    WriteNumber(ProfileListValueName(0), static_cast<int>(rows.size()));
}

} // namespace tavrik
