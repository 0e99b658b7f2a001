#include "kernel_key_tables.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <regex>
#include <sstream>

namespace tavrik::test {

namespace {

std::optional<std::string> ReadFile(const std::string& path) {
    std::ifstream in(path);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The text between "{" after `declaration` and the closing "};", without comments and
// preprocessor lines (atkbd_set2_keycode[] has an #ifdef for HP keyboards).
std::optional<std::string> InitializerOf(const std::string& source,
                                         const std::string& declaration) {
    const size_t start = source.find(declaration);
    const size_t open = source.find('{', start);
    const size_t close = source.find("};", open);
    if (start == std::string::npos || open == std::string::npos || close == std::string::npos) {
        return std::nullopt;
    }
    const std::string body = std::regex_replace(source.substr(open + 1, close - open - 1),
                                                std::regex(R"(/\*[^*]*\*+([^/*][^*]*\*+)*/)"), "");
    std::istringstream lines(body);
    std::string kept;
    for (std::string line; std::getline(lines, line);) {
        if (line.find_first_not_of(" \t") != std::string::npos &&
            line[line.find_first_not_of(" \t")] != '#') {
            kept += line + '\n';
        }
    }
    return kept;
}

// The comma-separated numbers of an initializer. `unk` (KEY_UNKNOWN) in hid_keyboard[] marks a
// usage the kernel knows no key for and counts as 0.
std::vector<int> NumbersOf(const std::string& initializer) {
    std::vector<int> numbers;
    static const std::regex kToken(R"(\w+)");
    for (auto it = std::sregex_iterator(initializer.begin(), initializer.end(), kToken);
         it != std::sregex_iterator(); ++it) {
        const std::string token = it->str();
        numbers.push_back(token == "unk" ? 0 : std::stoi(token, nullptr, 0));
    }
    return numbers;
}

// "case 0x0e2: map_key_clear(KEY_MUTE);" lines between `from` and `to`: usage -> key name.
std::map<uint16_t, std::string> KeyCasesOf(const std::string& source, const std::string& from,
                                           const std::string& to) {
    std::map<uint16_t, std::string> cases;
    const size_t start = source.find(from);
    const size_t end = source.find(to, start);
    if (start == std::string::npos || end == std::string::npos) {
        return cases;
    }
    const std::string block = source.substr(start, end - start);
    static const std::regex kCase(R"(case (0x[0-9a-fA-F]+):\s*map_key_clear\((\w+)\);)");
    for (auto it = std::sregex_iterator(block.begin(), block.end(), kCase);
         it != std::sregex_iterator(); ++it) {
        cases.emplace(static_cast<uint16_t>(std::stoi((*it)[1].str(), nullptr, 16)),
                      (*it)[2].str());
    }
    return cases;
}

// "#define KEY_A 30" and aliases like "#define KEY_HANGUEL KEY_HANGEUL".
std::map<std::string, int, std::less<>> DefinesOf(const std::string& source,
                                                  const std::string& prefix) {
    std::map<std::string, int, std::less<>> values;
    static const std::regex kDefine(R"(#define\s+(\w+)\s+(\w+))");
    for (auto it = std::sregex_iterator(source.begin(), source.end(), kDefine);
         it != std::sregex_iterator(); ++it) {
        const std::string name = (*it)[1].str();
        const std::string value = (*it)[2].str();
        if (name.rfind(prefix, 0) != 0) {
            continue;
        }
        if (const auto alias = values.find(value); alias != values.end()) {
            values[name] = alias->second;
        } else if (std::isdigit(static_cast<unsigned char>(value[0]))) {
            values[name] = std::stoi(value, nullptr, 0);
        }
    }
    return values;
}

} // namespace

std::optional<KernelKeyTables> KernelKeyTables::Load(const std::string& folder,
                                                     std::string& error) {
    const auto codes = ReadFile(folder + "/input-event-codes.h.excerpt");
    const auto hid = ReadFile(folder + "/hid-input.c.excerpt");
    const auto atkbd = ReadFile(folder + "/atkbd.c.excerpt");
    if (!codes || !hid || !atkbd) {
        error = "cannot read the kernel excerpts in " + folder;
        return std::nullopt;
    }
    KernelKeyTables tables;
    tables.keyCodes_ = DefinesOf(*codes, "KEY_");

    const auto keyboard = InitializerOf(*hid, "hid_keyboard[256] =");
    const auto set2 = InitializerOf(*atkbd, "atkbd_set2_keycode[ATKBD_KEYMAP_SIZE] =");
    const auto unxlate = InitializerOf(*atkbd, "atkbd_unxlate_table[128] =");
    if (tables.keyCodes_.empty() || !keyboard || !set2 || !unxlate) {
        error = "an excerpt lacks one of its tables";
        return std::nullopt;
    }
    const std::vector<int> usages = NumbersOf(*keyboard);
    tables.atkbdSet2_ = NumbersOf(*set2);
    tables.atkbdUnxlate_ = NumbersOf(*unxlate);
    tables.atkbdSet2_.resize(512, 0); // ATKBD_KEYMAP_SIZE; the rest of the array is zero
    if (usages.size() != tables.hidKeyboard_.size() || tables.atkbdUnxlate_.size() != 128) {
        error = "hid_keyboard[] or atkbd_unxlate_table[] has the wrong length";
        return std::nullopt;
    }
    std::copy(usages.begin(), usages.end(), tables.hidKeyboard_.begin());

    const auto named = [&tables](const std::map<uint16_t, std::string>& cases) {
        std::map<uint16_t, int> result;
        for (const auto& [usage, name] : cases) {
            result.emplace(usage, tables.Key(name));
        }
        return result;
    };
    // The system control switch matches on the low nibble of usages 0x80-0x8F.
    for (const auto& [nibble, code] :
         named(KeyCasesOf(*hid, "/* SystemControl */", "default: goto unknown;"))) {
        tables.hidSystemControl_.emplace(static_cast<uint16_t>(0x80 | nibble), code);
    }
    tables.hidConsumer_ =
        named(KeyCasesOf(*hid, "case HID_UP_CONSUMER:", "default: map_key_clear(KEY_UNKNOWN);"));
    const auto atkbdMarks = DefinesOf(*atkbd, "ATKBD_KEY_");
    const auto keyNull = atkbdMarks.find("ATKBD_KEY_NULL");
    tables.atkbdKeyNull_ = keyNull == atkbdMarks.end() ? -1 : keyNull->second;
    if (tables.hidSystemControl_.empty() || tables.hidConsumer_.empty() ||
        tables.atkbdKeyNull_ < 0) {
        error = "the HID switch excerpts or ATKBD_KEY_NULL are missing";
        return std::nullopt;
    }
    return tables;
}

int KernelKeyTables::Key(std::string_view name) const {
    const auto found = keyCodes_.find(name);
    return found == keyCodes_.end() ? -1 : found->second;
}

int KernelKeyTables::FromUsage(uint16_t page, uint16_t usage) const {
    const auto lookUp = [](const std::map<uint16_t, int>& map, uint16_t key) {
        const auto found = map.find(key);
        return found == map.end() || found->second < 0 ? 0 : found->second;
    };
    switch (page) {
    case 0x07:
        return usage < hidKeyboard_.size() ? hidKeyboard_[usage] : 0;
    case 0x01:
        return lookUp(hidSystemControl_, usage);
    case 0x0C:
        return lookUp(hidConsumer_, usage);
    default:
        return 0;
    }
}

int KernelKeyTables::FromSet1(uint16_t scan) const {
    const uint16_t makeCode = scan & 0x7F;
    const int e0 = scan >= 0x100 ? 0x80 : 0;
    return atkbdSet2_[static_cast<size_t>(atkbdUnxlate_[makeCode] | e0)];
}

} // namespace tavrik::test
