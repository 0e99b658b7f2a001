#include "device/known_units.h"

namespace tavrik {

const KnownUnit* FindKnownUnit(uint16_t usagePage, uint16_t usage) {
    for (const KnownUnit& known : kKnownUnits)
        if (known.unit.usagePage == usagePage && known.unit.usage == usage)
            return &known;
    return nullptr;
}

} // namespace tavrik
