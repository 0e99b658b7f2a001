#include "skin/window_shape.h"

namespace tavrik {
namespace {

constexpr uint32_t kColourBits = 0x00FFFFFF;

bool IsWindowPixel(uint32_t pixel) {
    return (pixel & kColourBits) != kColourBits;
}

} // namespace

std::vector<ShapeRun> ShapeRunsFromPixels(const uint32_t* pixels, int width, int height,
                                          size_t stride) {
    std::vector<ShapeRun> runs;
    if (pixels == nullptr || width <= 0 || height <= 0) {
        return runs;
    }
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = pixels + static_cast<size_t>(y) * stride;
        int x = 0;
        while (x < width) {
            if (!IsWindowPixel(row[x])) {
                ++x;
                continue;
            }
            const int left = x;
            while (x < width && IsWindowPixel(row[x])) {
                ++x;
            }
            runs.push_back({y, left, x - left});
        }
    }
    return runs;
}

} // namespace tavrik
