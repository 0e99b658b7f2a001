#include "profile/settings_file.h"

#include "profile/decimal_text.h"

namespace tavrik {

namespace {
constexpr std::u16string_view kSection = u"KEYCOLOR";
constexpr std::u16string_view kReportRateKey = u"KBDPI";
constexpr std::u16string_view kEditModeKey = u"DengCheck";
} // namespace

std::filesystem::path SettingsFilePath(const std::filesystem::path& documentsFolder) {
    return documentsFolder / "Tavrik" / "zezi.ini";
}

SettingsFile::SettingsFile(std::filesystem::path path)
    : ini_(std::move(path)) {}

int SettingsFile::ReportRateButton() const {
    return DecimalTextToInt(ini_.Read(kSection, kReportRateKey, u"1"));
}

bool SettingsFile::SetReportRateButton(int button) const {
    return ini_.Write(kSection, kReportRateKey, IntToDecimalText(button));
}

bool SettingsFile::LightingEditMode() const {
    return DecimalTextToInt(ini_.Read(kSection, kEditModeKey, u"0")) == 1;
}

bool SettingsFile::SetLightingEditMode(bool on) const {
    return ini_.Write(kSection, kEditModeKey, on ? u"1" : u"0");
}

} // namespace tavrik
