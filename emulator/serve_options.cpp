#include "emulator/serve_options.h"

#include <algorithm>
#include <charconv>

namespace tavrik::emu {

namespace {

constexpr double kMaxReportIntervalMs = 1000;
const std::string kValuedOptions[] = {"--capacity-units", "--effects", "--profile",
                                      "--report-interval-ms", "--state"};

template <typename T>
std::optional<T> ParseValue(const std::string& text) {
    T value{};
    const char* end = text.data() + text.size();
    const auto [rest, code] = std::from_chars(text.data(), end, value);
    if (text.empty() || code != std::errc{} || rest != end)
        return std::nullopt;
    return value;
}

std::optional<int> ParseInt(const std::string& text, int min, int max) {
    const auto value = ParseValue<int>(text);
    if (!value || *value < min || *value > max)
        return std::nullopt;
    return value;
}

std::optional<OfferedEffects> ParseEffects(const std::string& text) {
    OfferedEffects effects{};
    size_t count = 0;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = std::min(text.find(',', start), text.size());
        const auto effect = ParseInt(text.substr(start, comma - start), 1, 10);
        if (!effect || count == effects.size())
            return std::nullopt;
        effects[count++] = static_cast<uint8_t>(*effect);
        start = comma + 1;
    }
    return effects;
}

bool AsksForHelp(const std::string& word) {
    return word == "--help" || word == "-h";
}

// Applies one option with its value; false when the value is not acceptable.
bool ApplyOption(ServeOptions& options, const std::string& name, const std::string& value) {
    if (name == "--capacity-units") {
        const auto units = ParseInt(value, kMinCapacityUnits, 255);
        options.config.macroCapacityUnits = static_cast<uint8_t>(units.value_or(0));
        return units.has_value();
    }
    if (name == "--effects") {
        const auto effects = ParseEffects(value);
        options.config.offeredEffects = effects.value_or(OfferedEffects{});
        return effects.has_value();
    }
    if (name == "--profile") {
        const auto profile = ParseInt(value, 0, kKeyMapBlockCount - 1);
        options.config.activeProfile = static_cast<uint8_t>(profile.value_or(0));
        return profile.has_value();
    }
    if (name == "--report-interval-ms") {
        const auto ms = ParseValue<double>(value);
        if (!ms || !(*ms >= 0 && *ms <= kMaxReportIntervalMs))
            return false;
        options.reportInterval = std::chrono::microseconds(static_cast<long>(*ms * 1000));
        return true;
    }
    if (name == "--state") {
        options.stateFile = value;
        return !value.empty();
    }
    return false;
}

} // namespace

std::optional<ServeOptions> ParseServeOptions(const std::vector<std::string>& args,
                                              std::string* error) {
    ServeOptions options;
    if (std::ranges::any_of(args, AsksForHelp)) {
        options.help = true;
        return options;
    }
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (word == "--unplugged") {
            options.plugged = false;
        } else if (std::find(std::begin(kValuedOptions), std::end(kValuedOptions), word) !=
                   std::end(kValuedOptions)) {
            if (i + 1 == args.size()) {
                *error = word + " needs a value";
                return std::nullopt;
            }
            if (!ApplyOption(options, word, args[++i])) {
                *error = "bad value for " + word + ": " + args[i];
                return std::nullopt;
            }
        } else if (word.starts_with("-") || !options.socketPath.empty()) {
            *error = "unexpected argument: " + word;
            return std::nullopt;
        } else {
            options.socketPath = word;
        }
    }
    if (options.socketPath.empty()) {
        *error = "serve needs a socket path";
        return std::nullopt;
    }
    return options;
}

} // namespace tavrik::emu
