// Reading a profile from text (profile_text.h). Every line is checked as it is read; the first
// fault ends the reading with its line and what was expected there.
#include "assign/key_function_tables.h"
#include "keys/text.h"
#include "names/action_text.h"
#include "names/function_names.h"
#include "names/key_names.h"
#include "names/profile_lighting_text.h"
#include "names/profile_text.h"
#include "names/profile_text_words.h"
#include "names/quoted_text.h"
#include "profile/text_packing.h"

#include <algorithm>
#include <charconv>
#include <set>
#include <vector>

namespace tavrik {

namespace {

struct Token {
    bool quoted = false;
    std::string word;    // a bare word
    std::u16string text; // a quoted text
};

struct Fault {
    std::string message;
};

std::string Shown(const Token& token) {
    return token.quoted ? QuoteText(token.text) : "\"" + token.word + "\"";
}

std::vector<Token> SplitLine(std::string_view line) {
    std::vector<Token> tokens;
    size_t at = line.find_first_not_of(" \t\r");
    while (at != std::string_view::npos) {
        if (line[at] == '"') {
            const std::optional<QuotedToken> quoted = ReadQuotedText(line.substr(at));
            if (!quoted)
                throw Fault{"a quoted text that ends with '\"' (escapes: \\\" \\\\ \\n \\t "
                            "\\uXXXX)"};
            tokens.push_back({true, {}, quoted->text});
            at += quoted->length;
        } else {
            const size_t end = line.find_first_of(" \t\r", at);
            tokens.push_back({false, std::string(line.substr(at, end - at)), {}});
            at = end;
        }
        at = line.find_first_not_of(" \t\r", at);
    }
    return tokens;
}

bool IsEndLine(std::string_view line) {
    const size_t first = line.find_first_not_of(" \t\r");
    return first != std::string_view::npos &&
           line.substr(first, line.find_last_not_of(" \t\r") - first + 1) == "end";
}

// The tokens of one line, taken from the front.
class LineTokens {
public:
    explicit LineTokens(std::vector<Token> tokens)
        : tokens_(std::move(tokens)) {}

    bool AtEnd() const { return next_ == tokens_.size(); }
    const Token* Peek() const { return AtEnd() ? nullptr : &tokens_[next_]; }

    const Token& Take(std::string_view expected) {
        if (AtEnd())
            throw Fault{"expected " + std::string(expected) + " before the end of the line"};
        return tokens_[next_++];
    }
    std::string Word(std::string_view expected) {
        const Token& token = Take(expected);
        if (token.quoted)
            throw Fault{"expected " + std::string(expected) + ", found " + Shown(token)};
        return token.word;
    }
    std::u16string Quoted(std::string_view expected) {
        const Token& token = Take(expected);
        if (!token.quoted)
            throw Fault{"expected " + std::string(expected) + " in quotes, found " + Shown(token)};
        return token.text;
    }
    uint32_t Number(std::string_view expected, uint32_t limit) {
        const std::string word = Word(expected);
        const std::optional<unsigned> value = ParseDecimal(word, limit);
        if (!value)
            throw Fault{"expected " + std::string(expected) + " (a number from 0 to " +
                        std::to_string(limit) + "), found \"" + word + "\""};
        return *value;
    }
    void ExpectEnd() {
        if (!AtEnd())
            throw Fault{"expected the end of the line, found " + Shown(tokens_[next_])};
    }

private:
    std::vector<Token> tokens_;
    size_t next_ = 0;
};

template <typename Value>
Value Resolved(std::variant<Value, std::string> resolved, std::string_view expected) {
    if (auto* problem = std::get_if<std::string>(&resolved))
        throw Fault{"expected " + std::string(expected) + ": " + *problem};
    return std::get<Value>(resolved);
}

size_t ReadSlot(LineTokens& tokens) {
    const Token& token = tokens.Take("a key name in quotes, G1/A..G9/B or slot:N");
    if (token.quoted) {
        const std::string name = Utf8From(token.text);
        const ScanCode scan = Resolved(ResolveKeyToken(name), "a key");
        if (const std::optional<size_t> slot = SlotFromKeyName(name); slot && scan != 0)
            return *slot;
        throw Fault{"expected a key, found " + Shown(token)};
    }
    if (const std::optional<size_t> slot = SlotFromWord(token.word))
        return *slot;
    throw Fault{"expected a key name in quotes, G1/A..G9/B or slot:N, found " + Shown(token)};
}

KeyFunctionType ReadType(LineTokens& tokens) {
    const std::string word = tokens.Word("a function (default, disabled, key, program, macro, "
                                         "stop-macro, text, media, function or raw)");
    for (const FunctionWord& known : kFunctionWords)
        if (word == known.word)
            return known.type;
    if (word == kRawWord)
        return static_cast<KeyFunctionType>(tokens.Number("the function type", 0xFFFF));
    throw Fault{"expected a function (default, disabled, key, program, macro, stop-macro, text, "
                "media, function or raw), found \"" +
                word + "\""};
}

// The value the function names, and for program and text the text.
void ReadFunctionValue(LineTokens& tokens, KeyFunctionEntry& entry,
                       std::optional<std::u16string>& text, bool raw) {
    if (raw) {
        entry.value = tokens.Number("the function value", 0xFFFFFFFF);
        return;
    }
    switch (entry.type) {
    case KeyFunctionType::SingleKey:
        entry.value = Resolved(ResolveKeyToken(Utf8From(tokens.Quoted("the key to send"))),
                               "the key to send");
        return;
    case KeyFunctionType::PlayMacro:
        entry.value = tokens.Number("the macro id", kMaxMacroId);
        if (entry.value == 0)
            throw Fault{"expected a macro id from 1 to " + std::to_string(kMaxMacroId)};
        return;
    case KeyFunctionType::Multimedia:
        entry.value = Resolved(ResolveMultimediaRow(Utf8From(tokens.Quoted("the media key"))),
                               "a multimedia key");
        return;
    case KeyFunctionType::FunctionKey:
        entry.value = Resolved(ResolveFunctionSlot(Utf8From(tokens.Quoted("the function"))),
                               "a keyboard function");
        return;
    case KeyFunctionType::LaunchProgram:
    case KeyFunctionType::TextBlock: {
        const Token* next = tokens.Peek();
        if (next && !next->quoted && next->word == kNoText)
            tokens.Take("none");
        else
            text = tokens.Quoted("the text, or none");
        return;
    }
    default:
        return;
    }
}

void ReadExtraFields(LineTokens& tokens, KeyFunctionEntry& entry,
                     std::optional<std::u16string>& text) {
    std::set<std::string> seen;
    while (!tokens.AtEnd()) {
        const std::string field =
            tokens.Word("code, value, flag, reserved or with-text, or the end of the line");
        if (!seen.insert(field).second)
            throw Fault{"expected each field once, found \"" + field + "\" again"};
        if (field == "code")
            entry.code = static_cast<uint16_t>(tokens.Number("the code", 0xFFFF));
        else if (field == "value")
            entry.value = tokens.Number("the value", 0xFFFFFFFF);
        else if (field == "flag")
            entry.selectionFlag = tokens.Number("the flag", 0xFFFFFFFF);
        else if (field == "reserved")
            entry.reserved = tokens.Number("the reserved field", 0xFFFFFFFF);
        else if (field == kWithTextWord && !CarriesText(entry) && !text)
            text = tokens.Quoted("the text");
        else
            throw Fault{"expected code, value, flag, reserved or with-text, found \"" + field +
                        "\""};
    }
}

class ProfileTextReader {
public:
    explicit ProfileTextReader(std::string_view text)
        : rest_(text) {}

    std::unique_ptr<ProfileContents> Read() {
        const std::optional<std::string_view> first = NextStatement();
        if (!first || *first != kProfileTextFirstLine)
            throw Fault{"expected \"" + std::string(kProfileTextFirstLine) +
                        "\" as the first line"};
        while (const std::optional<std::string_view> line = NextStatement())
            ReadStatement(*line);
        if (const std::optional<std::string> missing = lighting_.Missing())
            throw Fault{*missing};
        return std::move(contents_);
    }

    std::optional<ProfileLighting> Lighting() const {
        return lighting_.Any() ? std::optional(lighting_.Lighting()) : std::nullopt;
    }

    size_t LineNumber() const { return lineNumber_; }

private:
    std::optional<std::string_view> NextLine() {
        if (rest_.empty())
            return std::nullopt;
        ++lineNumber_;
        const size_t end = rest_.find('\n');
        const std::string_view line = rest_.substr(0, end);
        rest_ = end == std::string_view::npos ? std::string_view{} : rest_.substr(end + 1);
        return line;
    }

    // The next line that is neither blank nor a comment, without the spaces around it.
    std::optional<std::string_view> NextStatement() {
        while (const std::optional<std::string_view> line = NextLine()) {
            const size_t first = line->find_first_not_of(" \t\r");
            if (first == std::string_view::npos || (*line)[first] == '#')
                continue;
            return line->substr(first, line->find_last_not_of(" \t\r") - first + 1);
        }
        return std::nullopt;
    }

    // The lighting comes last: once it has begun, only lighting lines follow.
    void ReadStatement(std::string_view line) {
        constexpr std::string_view kLighting = "lighting ";
        if (line.starts_with(kLighting)) {
            if (const std::optional<std::string> fault =
                    lighting_.Read(line.substr(kLighting.size())))
                throw Fault{*fault};
            return;
        }
        if (lighting_.Any())
            throw Fault{"expected only lighting lines after the first lighting line"};
        LineTokens tokens(SplitLine(line));
        const std::string word = tokens.Word("identity, layer, macro or lighting");
        if (word == "identity")
            ReadIdentity(tokens);
        else if (word == "layer")
            ReadEntry(tokens);
        else if (word == "macro")
            ReadMacro(tokens);
        else
            throw Fault{"expected identity, layer, macro or lighting, found \"" + word + "\""};
    }

    void ReadIdentity(LineTokens& tokens) {
        const std::string hex = tokens.Word("the identity block in hexadecimal");
        tokens.ExpectEnd();
        if (hex.size() != 2 * record::kIdentitySize)
            throw Fault{"expected " + std::to_string(2 * record::kIdentitySize) +
                        " hexadecimal digits"};
        for (size_t at = 0; at < record::kIdentitySize; ++at) {
            const char* digits = hex.data() + 2 * at;
            const auto [end, error] =
                std::from_chars(digits, digits + 2, contents_->record.identity[at], 16);
            if (error != std::errc{} || end != digits + 2)
                throw Fault{"expected hexadecimal digits, found \"" + hex + "\""};
        }
    }

    void ReadEntry(LineTokens& tokens) {
        const size_t layer = tokens.Number("the layer", kLayerCount - 1);
        const size_t number = layer * kLayerSlots + ReadSlot(tokens);
        if (!entriesSeen_.insert(number).second)
            throw Fault{"expected each key once a layer, found this one again"};
        KeyFunctionEntry& entry = contents_->record.Entry(number);
        const Token* typeToken = tokens.Peek();
        const bool raw = typeToken && !typeToken->quoted && typeToken->word == kRawWord;
        entry.type = ReadType(tokens);
        std::optional<std::u16string> text;
        ReadFunctionValue(tokens, entry, text, raw);
        ReadExtraFields(tokens, entry, text);
        if (text)
            contents_->texts.Set(number, *text);
    }

    void ReadMacro(LineTokens& tokens) {
        if (contents_->macros.size() == kMaxMacros)
            throw Fault{"expected at most " + std::to_string(kMaxMacros) + " macros"};
        MacroRecord macro;
        macro.id = static_cast<uint16_t>(tokens.Number("the macro id", 0xFFFF));
        macro.name = tokens.Quoted("the macro's name");
        if (macro.name.size() > kMaxMacroNameLength ||
            macro.name.find(u'\0') != std::u16string::npos)
            throw Fault{"expected a name of at most " + std::to_string(kMaxMacroNameLength) +
                        " UTF-16 units without NUL"};
        if (tokens.Word("loop") != "loop")
            throw Fault{"expected loop after the macro's name"};
        macro.loopCount = static_cast<uint8_t>(tokens.Number("the loop count", 0xFF));
        ReadMacroFields(tokens, macro);
        macro.actions = ReadActions();
        contents_->macros.push_back(std::move(macro));
    }

    static void ReadMacroFields(LineTokens& tokens, MacroRecord& macro) {
        std::set<std::string> seen;
        while (!tokens.AtEnd()) {
            const std::string field =
                tokens.Word("new, reserved501, reserved504, reserved510 or the end of the line");
            if (!seen.insert(field).second)
                throw Fault{"expected each field once, found \"" + field + "\" again"};
            if (field == "new")
                macro.isNew = true;
            else if (field == "reserved501")
                macro.reserved501 = static_cast<uint8_t>(tokens.Number(field, 0xFF));
            else if (field == "reserved504")
                macro.reserved504 = static_cast<uint16_t>(tokens.Number(field, 0xFFFF));
            else if (field == "reserved510")
                macro.reserved510 = static_cast<uint16_t>(tokens.Number(field, 0xFFFF));
            else
                throw Fault{"expected new, reserved501, reserved504 or reserved510, found \"" +
                            field + "\""};
        }
    }

    // The action lines up to "end", in the macro action format.
    std::vector<MacroAction> ReadActions() {
        const size_t firstLine = lineNumber_ + 1;
        std::string block;
        while (const std::optional<std::string_view> line = NextLine()) {
            if (IsEndLine(*line))
                return ParsedActions(block, firstLine);
            block += std::string(*line) + "\n";
        }
        throw Fault{"expected \"end\" after the macro's actions"};
    }

    std::vector<MacroAction> ParsedActions(const std::string& block, size_t firstLine) {
        auto parsed = ParseActionText(block);
        if (auto* error = std::get_if<ActionTextError>(&parsed)) {
            lineNumber_ = firstLine + error->line - 1;
            throw Fault{"expected KEY down|up PAUSE_MS: " + error->message};
        }
        return std::get<std::vector<MacroAction>>(std::move(parsed));
    }

    std::string_view rest_;
    size_t lineNumber_ = 0;
    std::unique_ptr<ProfileContents> contents_ = std::make_unique<ProfileContents>();
    std::set<size_t> entriesSeen_;
    LightingLineReader lighting_;
};

} // namespace

std::variant<std::unique_ptr<ProfileContents>, ProfileTextError>
ParseProfileText(std::string_view text, std::optional<ProfileLighting>* lighting) {
    ProfileTextReader reader(text);
    try {
        std::unique_ptr<ProfileContents> contents = reader.Read();
        if (lighting)
            *lighting = reader.Lighting();
        return contents;
    } catch (const Fault& fault) {
        return ProfileTextError{std::max<size_t>(reader.LineNumber(), 1), fault.message};
    }
}

} // namespace tavrik
