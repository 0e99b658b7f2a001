#pragma once
// UTF-8 <-> UTF-16 for the program's texts (key names, macro names) on their way to and from
// terminals, files and logs. Malformed input never fails: each ill-formed UTF-8 sequence (its
// longest valid start, as Unicode recommends) and each unpaired UTF-16 surrogate becomes
// U+FFFD REPLACEMENT CHARACTER.

#include <string>
#include <string_view>

namespace tavrik {

std::string Utf8From(std::u16string_view text);
std::u16string Utf16From(std::string_view text);

} // namespace tavrik
