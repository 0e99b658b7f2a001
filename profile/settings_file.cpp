#include "profile/settings_file.h"

#include "files/private_files.h"
#include "profile/decimal_text.h"

#include <new>

namespace tavrik {

namespace {
constexpr std::u16string_view kSection = u"KEYCOLOR";
constexpr std::u16string_view kReportRateKey = u"KBDPI";
constexpr std::u16string_view kEditModeKey = u"DengCheck";
// The values are read through a buffer of 260 characters.
constexpr size_t kValueCapacity = 259;

int ReadNumber(const CIniFile& ini, std::u16string_view key, std::u16string_view fallback) {
    return DecimalTextToInt(ini.GetString(kSection, key, fallback, kValueCapacity).value_or(u""));
}
} // namespace

std::filesystem::path SettingsFilePath(const std::filesystem::path& documentsFolder) {
    return documentsFolder / "Tavrik" / "zezi.ini";
}

bool EnsureSettingsFolder(const std::filesystem::path& documentsFolder) {
    if (documentsFolder.empty())
        return false;
    try {
        return EnsurePrivateFolder(SettingsFilePath(documentsFolder).parent_path(), nullptr);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

SettingsFile::SettingsFile(std::filesystem::path path)
    : ini_(std::move(path)) {}

int SettingsFile::ReportRateButton() const {
    return ReadNumber(ini_, kReportRateKey, u"1");
}

bool SettingsFile::SetReportRateButton(int button) const {
    return ini_.WriteString(kSection, kReportRateKey, IntToDecimalText(button));
}

bool SettingsFile::LightingEditMode() const {
    return ReadNumber(ini_, kEditModeKey, u"0") == 1;
}

bool SettingsFile::SetLightingEditMode(bool on) const {
    return ini_.WriteString(kSection, kEditModeKey, on ? u"1" : u"0");
}

} // namespace tavrik
