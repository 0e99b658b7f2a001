#pragma once
// What differs between two profiles written as text (profile_text.h), one line a difference, by
// key name and function name, in the order of the first profile and then what only the second
// has:
//
//     layer 0 "Q": key "W" -> key "E"
//     layer 1 "F1": default -> disabled
//     macro 3: "Copy" loop 1 -> "Copy" loop 2
//     macro 3 action 2: Q down 10 -> Q up 10
//     macro 3 action 7: + Q up 0
//     - macro 4 "Paste" loop 1 (2 actions)
//     lighting brightness: 20 -> 21
//     lighting key "Q": FFFFFF -> 010101
//
// A key line one side leaves out is that key's default function, a key colour line a lit key
// (when that side has lighting at all); a macro or a lighting line one side lacks is named whole
// with + or -. Nothing when the profiles are equal.

#include <string>
#include <string_view>
#include <vector>

namespace tavrik {

std::vector<std::string> ProfileTextDifferences(std::string_view before, std::string_view after);

} // namespace tavrik
