#pragma once
// The per-user store of preferences: QSettings in its native format under the organisation
// "Tavrik_Ostrel" and the executable's name (~/.config/Tavrik_Ostrel/<program>.conf), group
// "PROFILES". Values are decimal text, as they were in the registry of the original platform.
// Nothing is cached; failed writes are ignored by the callers. The profile list names the user's
// files, so the store is private: the file 0600, the "Tavrik_Ostrel" folder 0700 when the program
// makes it.

#include <QString>

#include <filesystem>
#include <vector>

namespace tavrik {

inline constexpr char kSettingsOrganisation[] = "Tavrik_Ostrel";

class UserPreferences {
public:
    // The store of this program, named by the executable's file name without folder.
    explicit UserPreferences(QString applicationName);

    // Flip is on exactly when "Flip" reads as 1 (default "0").
    bool Flip() const;
    // Stores the inverse of the current value: 0 becomes 1, 1 becomes 0, anything else 0.
    // Returns the new state.
    bool ToggleFlip() const;

    // Reads "RecordDelay" (default "0") and writes it back normalised: 1 stays 1, anything else
    // becomes 0. The assignment dialog does this each time it opens.
    bool LoadRecordDelay() const;
    // 1 when it was not 1, else 0; written at once. Returns the new state.
    bool ToggleRecordDelay() const;

    // The profile manager's list: PROFILE00 = number of rows, PROFILE01, PROFILE02, ... = each
    // row's folder, name and ".tvk". Values of rows beyond the count are left in place.
    void WriteProfileList(const std::vector<std::filesystem::path>& rows) const;

    // A value of group "PROFILES" as stored, empty when missing (for inspection and tests).
    QString StoredValue(const QString& name) const;

private:
    int ReadNumber(const QString& name, int fallback) const;
    void WriteNumber(const QString& name, int value) const;
    void WriteText(const QString& name, const QString& value) const;

    QString applicationName_;
};

// "PROFILE" followed by the number in two digits ("%s%02d").
QString ProfileListValueName(int number);

} // namespace tavrik
