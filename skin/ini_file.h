#pragma once
// CIniFile: look-ups in a Windows-style INI file (skin files, settings). Section and key names
// are compared without regard to case; the first section of a name and the first key in it win;
// values are trimmed and may be wrapped in one pair of quotes. The file is read at every look-up,
// so a skin edited by hand takes effect at the next dialog opening.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tavrik {

class CIniFile {
public:
    // The longest value GetString hands out, in UTF-16 units.
    static constexpr size_t kMaxValueLength = 2047;
    // Files above this size are not read: every look-up then gives its default.
    static constexpr std::uintmax_t kMaxFileSize = 1 << 20;

    CIniFile() = default;
    explicit CIniFile(std::filesystem::path path)
        : m_path(std::move(path)) {}

    void SetPath(std::filesystem::path path) { m_path = std::move(path); }
    const std::filesystem::path& Path() const { return m_path; }

    // The value (or defaultValue when the file, section or key is missing), cut to maxLength
    // units; nothing when that result is empty.
    std::optional<std::u16string> GetString(std::u16string_view section, std::u16string_view key,
                                            std::u16string_view defaultValue = {},
                                            size_t maxLength = kMaxValueLength) const;

    // Replaces the key's value in the first section of that name, or adds the key (and the
    // section) at its end. The file keeps its encoding and is replaced atomically; false when it
    // cannot be written.
    bool WriteString(std::u16string_view section, std::u16string_view key,
                     std::u16string_view value) const;

private:
    std::filesystem::path m_path;
};

// Case-insensitive comparison of section and key names (ASCII letters fold).
bool IniNamesEqual(std::u16string_view a, std::u16string_view b);

} // namespace tavrik
