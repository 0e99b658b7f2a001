#pragma once
// Numbers kept as text in the settings file and the per-user store.

#include <string>
#include <string_view>

namespace tavrik {

// Leading blanks, an optional sign, then digits up to the first other character; 0 when no
// digit follows. Values beyond the int range are clamped.
int DecimalTextToInt(std::u16string_view text);

// The decimal text of n, as written by "%d".
std::u16string IntToDecimalText(int n);

} // namespace tavrik
