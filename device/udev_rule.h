#pragma once
// The udev rule that lets the user at the seat open the keyboard's hidraw nodes (it tags them
// "uaccess"), and how to put it in force: Linux gives hidraw nodes to root alone otherwise.

#include <array>
#include <string_view>

namespace tavrik {

// Where the package installs the rule.
inline constexpr std::string_view kUdevRuleFile = "/lib/udev/rules.d/70-voltri-vx60.rules";
// Where an administrator puts a copy from the source tree.
inline constexpr std::string_view kLocalUdevRuleFile = "/etc/udev/rules.d/70-voltri-vx60.rules";
inline constexpr std::array<std::string_view, 2> kUdevRuleFiles{kUdevRuleFile, kLocalUdevRuleFile};
// The one command that applies a newly installed rule to a keyboard already plugged in.
inline constexpr std::string_view kApplyUdevRulesCommand =
    "sudo udevadm control --reload-rules && sudo udevadm trigger --subsystem-match=hidraw";

} // namespace tavrik
