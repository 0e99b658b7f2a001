#include "device/report_descriptor.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto collections = tavrik::ParseReportDescriptor({data, size});
    if (collections) {
        for (const auto& collection : *collections)
            if (collection.reportIds.size() > 255)
                __builtin_trap(); // ids are distinct bytes
    }
    return 0;
}
