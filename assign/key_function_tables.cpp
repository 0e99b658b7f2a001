#include "assign/key_function_tables.h"

#include <algorithm>

namespace tavrik {

std::optional<size_t> MultimediaRowFromUsage(uint16_t consumerUsage) {
    const auto row =
        std::ranges::find(kMultimediaTable, consumerUsage, &MultimediaFunction::consumerUsage);
    if (row == kMultimediaTable.end()) {
        return std::nullopt;
    }
    return static_cast<size_t>(row - kMultimediaTable.begin());
}

std::u16string_view FunctionKeyName(uint32_t slot) {
    return slot < kFunctionKeyTable.size() ? kFunctionKeyTable[slot] : std::u16string_view{};
}

} // namespace tavrik
