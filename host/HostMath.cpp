/*
 * Edge snapping and gradient rendering for the reference host; see HostMath.h.
 */
#include "HostMath.h"

#include <algorithm>
#include <cstdlib>

int32_t SnapAxis(int32_t position, int32_t size, int32_t low, int32_t high, int32_t distance) {
    const int64_t nearSide = int64_t{position} - low;
    const int64_t farSide = int64_t{position} + size - high;
    if (std::llabs(nearSide) <= distance)
        return low;
    if (std::llabs(farSide) <= distance)
        return high - size;
    return position;
}

namespace {

int Channel(uint32_t colour, int shift) {
    return static_cast<int>((colour >> shift) & 0xFF);
}

// Linear blend of one channel, step of steps (steps >= 1).
int Blend(int from, int to, int64_t step, int64_t steps) {
    return static_cast<int>(from + (to - from) * step / steps);
}

uint32_t Rgb(int r, int g, int b) {
    const auto clamp = [](int v) { return static_cast<uint32_t>(std::clamp(v, 0, 255)); };
    return clamp(r) << 16 | clamp(g) << 8 | clamp(b);
}

uint32_t Pixel(const Gradient& gradient, int32_t x, int32_t y, int32_t width, int32_t height) {
    int64_t step = 0, steps = 1;
    switch (gradient.Type) {
    case 0: step = x, steps = std::max(1, width - 1); break;
    case 1: step = y, steps = std::max(1, height - 1); break;
    case 2: step = int64_t{x} + y, steps = std::max<int64_t>(1, int64_t{width} + height - 2); break;
    default: break;
    }
    // Colours arrive as 0x00BBGGRR: red in the low byte.
    int r = Blend(Channel(gradient.ColourFrom, 0), Channel(gradient.ColourTo, 0), step, steps);
    int g = Blend(Channel(gradient.ColourFrom, 8), Channel(gradient.ColourTo, 8), step, steps);
    int b = Blend(Channel(gradient.ColourFrom, 16), Channel(gradient.ColourTo, 16), step, steps);
    if (gradient.Interlaced && (y & 1) != 0) {
        const int keep = 255 - std::clamp(gradient.Shade, 0, 255);
        r = r * keep / 255, g = g * keep / 255, b = b * keep / 255;
    }
    if (gradient.Bevel == 1 || gradient.Bevel == 2) {
        const bool nearEdge = x < gradient.BevelWidth || y < gradient.BevelWidth;
        const bool farEdge = x >= width - gradient.BevelWidth || y >= height - gradient.BevelWidth;
        const bool light = gradient.Bevel == 1 ? nearEdge : farEdge && !nearEdge;
        const bool dark = gradient.Bevel == 1 ? farEdge && !nearEdge : nearEdge;
        if (light)
            r += (255 - r) / 2, g += (255 - g) / 2, b += (255 - b) / 2;
        else if (dark)
            r /= 2, g /= 2, b /= 2;
    }
    if (x < gradient.BorderWidth || y < gradient.BorderWidth || x >= width - gradient.BorderWidth ||
        y >= height - gradient.BorderWidth)
        return Rgb(Channel(gradient.BorderColour, 0), Channel(gradient.BorderColour, 8),
                   Channel(gradient.BorderColour, 16));
    return Rgb(r, g, b);
}

} // namespace

std::vector<uint32_t> RenderGradient(const Gradient& gradient, int32_t width, int32_t height) {
    if (width <= 0 || height <= 0)
        return {};
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] =
                Pixel(gradient, x, y, width, height);
    return pixels;
}
