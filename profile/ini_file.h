#pragma once
// A settings file in the Windows INI dialect: "[section]" lines and "key=value" lines, section
// and key names compared without regard to case, values trimmed and cut to 259 characters.
// Each read opens the file afresh, so an edit by hand takes effect at the next read; each write
// rewrites the whole file atomically. A missing file or folder reads as the fallback and makes
// writes fail; nothing is reported.

#include <filesystem>
#include <string>
#include <string_view>

namespace tavrik {

inline constexpr size_t kIniValueCapacity = 260; // characters, terminator included

class IniFile {
public:
    explicit IniFile(std::filesystem::path path);

    const std::filesystem::path& Path() const { return path_; }

    std::u16string Read(std::u16string_view section, std::u16string_view key,
                        std::u16string_view fallback) const;

    // Replaces the key's value in place, appends the key to its section, or appends the section
    // at the end of the file. False when the file cannot be written.
    bool Write(std::u16string_view section, std::u16string_view key,
               std::u16string_view value) const;

private:
    std::filesystem::path path_;
};

} // namespace tavrik
