#pragma once
// tavrikctl's help: the overview (tavrikctl --help) and one page per command
// (tavrikctl COMMAND --help, tavrikctl help COMMAND).

#include <optional>
#include <string>
#include <string_view>

namespace tavrik::cli {

// The overview for an empty topic; nothing for an unknown command.
std::optional<std::string> HelpText(std::string_view topic);

// The command's usage lines, or the overview's for an empty command.
std::string UsageText(std::string_view command);

} // namespace tavrik::cli
