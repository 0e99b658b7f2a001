#include "skin/ini_file.h"

#include "files/file_read.h"
#include "files/file_replace.h"
#include "skin/text_codec.h"

#include <system_error>
#include <vector>

namespace tavrik {
namespace {

char16_t FoldCase(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
}

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == 0xFEFF;
}

std::u16string_view Trim(std::u16string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::u16string_view Unquote(std::u16string_view value) {
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

// One line of the file, as the look-ups see it.
struct IniLine {
    enum class Kind { Other, Section, Entry } kind = Kind::Other;
    std::u16string_view name; // section or key name
    std::u16string_view value;
};

IniLine ClassifyLine(std::u16string_view raw) {
    const std::u16string_view line = Trim(raw);
    if (line.empty() || line.front() == u';' || line.front() == u'#') {
        return {};
    }
    if (line.front() == u'[') {
        const size_t close = line.find(u']');
        if (close == std::u16string_view::npos) {
            return {};
        }
        return {IniLine::Kind::Section, Trim(line.substr(1, close - 1)), {}};
    }
    const size_t equals = line.find(u'=');
    if (equals == std::u16string_view::npos) {
        return {};
    }
    return {IniLine::Kind::Entry, Trim(line.substr(0, equals)),
            Unquote(Trim(line.substr(equals + 1)))};
}

std::vector<std::u16string_view> SplitLines(std::u16string_view text) {
    std::vector<std::u16string_view> lines;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = text.find(u'\n', start);
        if (end == std::u16string_view::npos) {
            if (start < text.size()) {
                lines.push_back(text.substr(start));
            }
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

constexpr FileKind kIniFileKind{"a skin or settings file", CIniFile::kMaxFileSize};

std::optional<DecodedText> ReadTextFile(const std::filesystem::path& path) {
    const FileRead read = ReadWholeFile(path, kIniFileKind);
    if (read.status != FileReadStatus::Read) {
        return std::nullopt;
    }
    return DecodeText(
        std::span(reinterpret_cast<const char*>(read.bytes.data()), read.bytes.size()));
}

// Where WriteString puts its line: the index of the key's line to replace, or the index after
// the last entry of the section to insert before; nothing when the section does not exist.
struct WritePlace {
    size_t line = 0;
    bool replace = false;
};

std::optional<WritePlace> FindWritePlace(const std::vector<std::u16string_view>& lines,
                                         std::u16string_view section, std::u16string_view key) {
    std::optional<WritePlace> place;
    bool inSection = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        const IniLine line = ClassifyLine(lines[i]);
        if (line.kind == IniLine::Kind::Section) {
            if (place) {
                return place;
            }
            inSection = IniNamesEqual(line.name, section);
            if (inSection) {
                place = WritePlace{i + 1, false};
            }
        } else if (inSection && line.kind == IniLine::Kind::Entry) {
            if (IniNamesEqual(line.name, key)) {
                return WritePlace{i, true};
            }
            place = WritePlace{i + 1, false};
        }
    }
    return place;
}

} // namespace

bool IniNamesEqual(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i])) {
            return false;
        }
    }
    return true;
}

std::optional<std::u16string> CIniFile::GetString(std::u16string_view section,
                                                  std::u16string_view key,
                                                  std::u16string_view defaultValue,
                                                  size_t maxLength) const {
    std::u16string_view found = defaultValue;
    // `found` may point into the file's text, which lives until the function returns.
    const std::optional<DecodedText> file = ReadTextFile(m_path);
    if (file) {
        bool inSection = false;
        bool sectionSeen = false;
        for (std::u16string_view raw : SplitLines(file->text)) {
            const IniLine line = ClassifyLine(raw);
            if (line.kind == IniLine::Kind::Section) {
                if (sectionSeen) {
                    break;
                }
                inSection = IniNamesEqual(line.name, section);
                sectionSeen = inSection;
            } else if (inSection && line.kind == IniLine::Kind::Entry &&
                       IniNamesEqual(line.name, key)) {
                found = line.value;
                break;
            }
        }
    }
    std::u16string result(found.substr(0, maxLength));
    if (result.empty()) {
        return std::nullopt;
    }
    return result;
}

bool CIniFile::WriteString(std::u16string_view section, std::u16string_view key,
                           std::u16string_view value) const {
    const auto hasLineBreak = [](std::u16string_view text) {
        return text.find_first_of(u"\r\n") != std::u16string_view::npos;
    };
    if (hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value)) {
        return false; // would write lines of its own
    }
    std::optional<DecodedText> file = ReadTextFile(m_path);
    std::error_code error;
    if (!file && std::filesystem::exists(m_path, error)) {
        return false; // there but unreadable or too large: leave it alone
    }
    const DecodedText current = file.value_or(DecodedText{});
    const std::vector<std::u16string_view> lines = SplitLines(current.text);
    // New lines follow the file's own line ends.
    const std::u16string_view lineEnd =
        !lines.empty() && !lines.front().empty() && lines.front().back() == u'\r' ? u"\r" : u"";
    const std::u16string entry =
        std::u16string(key) + u'=' + std::u16string(value) + std::u16string(lineEnd);

    std::vector<std::u16string> output(lines.begin(), lines.end());
    const std::optional<WritePlace> place = FindWritePlace(lines, section, key);
    if (!place) {
        output.push_back(u"[" + std::u16string(section) + u"]" + std::u16string(lineEnd));
        output.push_back(entry);
    } else if (place->replace) {
        output[place->line] = entry;
    } else {
        output.insert(output.begin() + static_cast<std::ptrdiff_t>(place->line), entry);
    }
    std::u16string text;
    for (const std::u16string& line : output) {
        text += line;
        text += u'\n';
    }
    const std::string bytes = EncodeText(text, current.encoding);
    return ReplaceFile(
        m_path, std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), nullptr);
}

} // namespace tavrik
