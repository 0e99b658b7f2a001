#pragma once
// The outline of a skinned window, taken from its mask picture: every maximal horizontal run of
// pixels whose red, green and blue are not all 255 belongs to the window; white is cut away.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavrik {

// One run of window pixels, one pixel high: x in [left, left + width), row y.
struct ShapeRun {
    int y = 0;
    int left = 0;
    int width = 0;
    bool operator==(const ShapeRun&) const = default;
};

// Pixels as 0xAARRGGBB words (alpha is not looked at), `stride` words from one row to the next.
// Runs come row by row from the top and left to right within a row.
std::vector<ShapeRun> ShapeRunsFromPixels(const uint32_t* pixels, int width, int height,
                                          size_t stride);

} // namespace tavrik
