#include "skin/skin_keys.h"

#include <cstdio>

namespace tavrik {

std::u16string KeyButtonSkinKey(ScanCode scan) {
    char name[16];
    const int length = std::snprintf(name, sizeof name, "KEY_%03X", KeyIndexFromScan(scan));
    return std::u16string(name, name + length);
}

} // namespace tavrik
