#include "app/command_line.h"

#include "transport/backend_selection.h"

#include <algorithm>

#ifndef TAVRIK_VERSION
#define TAVRIK_VERSION "unknown"
#endif

namespace tavrik {
namespace {

constexpr std::string_view kUsage =
    "usage: tavrik [--device hid|demo|emu:PATH] [/Start]\n"
    "       tavrik /Kill\n"
    "       tavrik --help | --version\n"
    "\n"
    "The configuration utility of the VOLTRI VX60 keyboard. It starts in the notification area;\n"
    "a click on its icon, or a second start, opens its window while a keyboard is attached.\n"
    "\n"
    "  --device hid|demo|emu:PATH  the keyboard: hid (the default) a real one, demo an emulated\n"
    "                              one inside the program, emu:PATH one served by\n"
    "                              `tavrik-emu serve PATH`; also from TAVRIK_DEVICE\n"
    "  /Start                      the start at login: stay in the notification area\n"
    "  /Kill                       end the running program\n"
    "  -h, --help                  this help\n"
    "  --version                   the program's version\n"
    "\n"
    "Qt's own options (-platform NAME, -display DISPLAY, -style NAME, ...) are accepted too.\n"
    "See tavrik(1).\n";

// Qt's options, which Qt takes out of the arguments when the program starts. Qt accepts each
// with one dash or two.
constexpr std::string_view kQtOptionsWithValue[] = {
    "platform",
    "platformpluginpath",
    "platformtheme",
    "plugin",
    "qwindowgeometry",
    "geometry",
    "qwindowtitle",
    "title",
    "qwindowicon",
    "icon",
    "session",
    "display",
    "name",
    "style",
    "stylesheet",
    "visual",
};
constexpr std::string_view kQtFlags[] = {
    "reverse", "widgetcount", "nograb", "dograb", "sync", "cmap", "testability", "qmljsdebugger",
};

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
        };
        return lower(x) == lower(y);
    });
}

bool Contains(std::span<const std::string_view> names, std::string_view name) {
    return std::ranges::find(names, name) != names.end();
}

// "-style", "--style", "-style=fusion" → "style"; words that are no option give nothing.
std::string_view OptionName(std::string_view word) {
    if (word.size() < 2 || word[0] != '-') {
        return {};
    }
    word.remove_prefix(word.starts_with("--") ? 2 : 1);
    return word.substr(0, word.find('='));
}

bool IsQtOptionWithSeparateValue(std::string_view word) {
    return word.find('=') == std::string_view::npos &&
           Contains(kQtOptionsWithValue, OptionName(word));
}

bool IsQtOption(std::string_view word) {
    const std::string_view name = OptionName(word);
    return Contains(kQtOptionsWithValue, name) || Contains(kQtFlags, name);
}

CommandLineCheck Refuse(std::string problem) {
    return {CommandLineCheck::Request::Refused, std::move(problem)};
}

} // namespace

StartSwitches ParseStartSwitches(std::span<const std::string_view> arguments) {
    StartSwitches switches;
    for (std::string_view argument : arguments) {
        if (EqualsIgnoringCase(argument, "/Kill")) {
            switches.kill = true;
        } else if (EqualsIgnoringCase(argument, "/Start")) {
            switches.start = true;
        }
    }
    return switches;
}

CommandLineCheck CheckCommandLine(std::span<const std::string_view> arguments) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view word = arguments[i];
        if (word == "--") {
            break;
        }
        if (word == "--help" || word == "-h") {
            return {CommandLineCheck::Request::Help, {}};
        }
        if (word == "--version") {
            return {CommandLineCheck::Request::Version, {}};
        }
        if (word == kDeviceFlag || IsQtOptionWithSeparateValue(word)) {
            if (i + 1 == arguments.size()) {
                return Refuse("option " + std::string(word) + " needs a value");
            }
            ++i;
        } else if (!OptionName(word).empty() && !word.starts_with("--device=") &&
                   !IsQtOption(word)) {
            return Refuse("unknown option " + std::string(word));
        }
    }
    return {};
}

std::string_view DesktopUsage() {
    return kUsage;
}

std::string DesktopVersion() {
    return std::string("tavrik ") + TAVRIK_VERSION;
}

} // namespace tavrik
