#pragma once
// The settings file "zezi.ini" in the user's Documents folder under "Tavrik": which report-rate
// button is selected and whether the lighting edit mode is on. Nothing is cached: every read
// opens the file, so an edit by hand takes effect at the next panel refresh. The program creates
// the "Tavrik" folder at start; when it is missing anyway, reads give the defaults and writes
// fail without a word. A write replaces the file all or nothing and leaves it private (0600).

#include "skin/ini_file.h"

#include <filesystem>

namespace tavrik {

// Documents/Tavrik/zezi.ini for the given Documents folder.
std::filesystem::path SettingsFilePath(const std::filesystem::path& documentsFolder);

// The program's start-up step for the settings: makes Documents/Tavrik, with Documents itself
// when the home has none. "Tavrik" is the program's own folder and is made 0700; Documents, a
// folder of the user's, is made as `mkdir -p` makes it and never changed when it exists
// (files/private_files.h). False for an empty Documents path or when the folder cannot be made.
bool EnsureSettingsFolder(const std::filesystem::path& documentsFolder);

class SettingsFile {
public:
    explicit SettingsFile(std::filesystem::path path);

    const std::filesystem::path& Path() const { return ini_.Path(); }

    // The selected report-rate button 1..4 ("KBDPI", default 1); 0 or any other number the
    // file holds is passed on as it is, so that it selects no button.
    int ReportRateButton() const;
    bool SetReportRateButton(int button) const;

    // "DengCheck": on exactly when the value reads as 1 (default "0").
    bool LightingEditMode() const;
    bool SetLightingEditMode(bool on) const;

private:
    CIniFile ini_;
};

} // namespace tavrik
