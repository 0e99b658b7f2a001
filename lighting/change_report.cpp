#include "lighting/change_report.h"

#include <utility>

namespace tavrik {

bool LightingChangeReport::Release(bool writing) {
    held_ = false;
    return Over(writing);
}

bool LightingChangeReport::Written(bool failed, bool writing) {
    failed_ = failed;
    return Over(writing);
}

bool LightingChangeReport::Over(bool writing) {
    if (held_ || writing)
        return false;
    return std::exchange(failed_, false);
}

} // namespace tavrik
