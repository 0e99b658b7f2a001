// tavrikctl remap [--profile N] [--bank a|b] KEY FUNCTION: which key, and the function it gets.
#include "cli/command_parsing.h"

#include "names/function_names.h"
#include "names/key_names.h"

#include <algorithm>

namespace tavrik::cli {

namespace {

std::optional<KeyArgument> ParseMacroKey(std::string_view word) {
    if (word.size() != 2 || (word[0] != 'G' && word[0] != 'g') || word[1] < '1' || word[1] > '9')
        return std::nullopt;
    KeyArgument key;
    key.kind = KeyArgument::Kind::MacroKey;
    key.gIndex = static_cast<size_t>(word[1] - '1');
    return key;
}

std::variant<KeyArgument, std::string> ParseKeyArgument(std::string_view word) {
    if (const std::optional<KeyArgument> macroKey = ParseMacroKey(word))
        return *macroKey;
    if (word.starts_with(kPositionPrefix)) {
        const std::optional<int> position =
            ParseNumber(word.substr(kPositionPrefix.size()), 0, kKeyPositionCount - 1);
        if (!position)
            return RangeText("a key position", 0, kKeyPositionCount - 1);
        KeyArgument key;
        key.kind = KeyArgument::Kind::Position;
        key.position = static_cast<KeyPosition>(*position);
        return key;
    }
    auto scan = ResolveKeyToken(word);
    if (auto* problem = std::get_if<std::string>(&scan))
        return std::move(*problem);
    KeyArgument key;
    key.scan = std::get<ScanCode>(scan);
    return key;
}

FunctionArgument FunctionOf(KeyFunctionType type, ScanCode key, uint32_t row) {
    FunctionArgument function;
    function.type = type;
    function.key = key;
    function.row = row;
    return function;
}

// A multimedia function or keyboard function by its row or slot, or why there is none.
std::variant<FunctionArgument, std::string>
TableFunction(KeyFunctionType type, std::variant<size_t, std::string> resolved) {
    if (auto* problem = std::get_if<std::string>(&resolved))
        return std::move(*problem);
    return FunctionOf(type, 0, static_cast<uint32_t>(std::get<size_t>(resolved)));
}

// A key the keyboard can send as a single key: one with a usage on the keyboard page.
bool IsKeyboardKey(ScanCode scan) {
    const Usage usage = UsageFromScan(scan);
    return usage.page == 0x07 && usage.usage != 0;
}

std::variant<FunctionArgument, std::string> ParseSingleKey(std::string_view name) {
    auto scan = ResolveKeyToken(name);
    if (auto* problem = std::get_if<std::string>(&scan))
        return std::move(*problem);
    if (!IsKeyboardKey(std::get<ScanCode>(scan)))
        return "the keyboard cannot send " + Quoted(name) +
               " as a single key; multimedia keys are assigned with media:NAME";
    return FunctionOf(KeyFunctionType::SingleKey, std::get<ScanCode>(scan), 0);
}

std::variant<FunctionArgument, std::string> ParseMacroFunction(std::string_view reference) {
    FunctionArgument function = FunctionOf(KeyFunctionType::PlayMacro, 0, 0);
    const size_t colon = reference.rfind(':');
    if (colon != std::string_view::npos) {
        const std::string_view loopWord = reference.substr(colon + 1);
        if (!loopWord.empty() &&
            std::ranges::all_of(loopWord, [](char c) { return c >= '0' && c <= '9'; })) {
            const std::optional<int> loops = ParseNumber(loopWord, 1, 255);
            if (!loops)
                return RangeText("the loop count", 1, 255);
            function.loops = static_cast<uint8_t>(*loops);
            reference = reference.substr(0, colon);
        }
    }
    if (reference.empty())
        return std::string("macro: needs a macro's id or name");
    function.macro = std::string(reference);
    return function;
}

std::variant<FunctionArgument, std::string> ParseFunctionArgument(std::string_view word) {
    if (word == "default")
        return FunctionArgument{};
    const size_t colon = word.find(':');
    const std::string_view kind = word.substr(0, colon);
    const std::string_view rest =
        colon == std::string_view::npos ? std::string_view{} : word.substr(colon + 1);
    if (kind == "key")
        return ParseSingleKey(rest);
    if (kind == "macro")
        return ParseMacroFunction(rest);
    if (kind == "media")
        return TableFunction(KeyFunctionType::Multimedia, ResolveMultimediaRow(rest));
    if (kind == "fn")
        return TableFunction(KeyFunctionType::FunctionKey, ResolveFunctionSlot(rest));
    return "unknown function " + Quoted(word) +
           " (expected default, key:NAME, macro:NAME|ID[:LOOPS], media:NAME|ROW or fn:NAME|SLOT)";
}

} // namespace

Parsed ParseRemap(const Arguments& arguments) {
    if (auto error = ExpectWords(arguments, 2, "KEY and FUNCTION"))
        return *error;
    RemapRequest request;
    if (const auto profile = arguments.Value("--profile")) {
        const std::optional<int> index = ParseNumber(*profile, 0, kLastProfile);
        if (!index)
            return Misuse(arguments, RangeText("the hardware profile", 0, kLastProfile));
        request.profile = *index;
    }
    auto key = ParseKeyArgument(arguments.words[0]);
    if (auto* message = std::get_if<std::string>(&key))
        return Misuse(arguments, *message);
    request.key = std::get<KeyArgument>(key);
    if (const auto bank = arguments.Value("--bank")) {
        if (*bank != "a" && *bank != "b" && *bank != "A" && *bank != "B")
            return Misuse(arguments, "the bank must be a or b");
        if (request.key.kind != KeyArgument::Kind::MacroKey)
            return Misuse(arguments, "--bank applies to the macro keys G1..G9 only");
        request.bankB = *bank == "b" || *bank == "B";
    }
    auto function = ParseFunctionArgument(arguments.words[1]);
    if (auto* message = std::get_if<std::string>(&function))
        return Misuse(arguments, *message);
    request.function = std::get<FunctionArgument>(function);
    return request;
}

} // namespace tavrik::cli
