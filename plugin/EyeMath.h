/*
 * Eye layout and pupil position: pure integer geometry, no <windows.h>.
 *
 * The layout constants are decimal (0.15, 0.31, 1.7, 2.5, 3.1), so every real-valued step is
 * done as an exact ratio of 64-bit integers and rounded half to even. That keeps the result
 * exact for every 32-bit input, where doubles could land a hair beside a half.
 */
#pragma once

#include "UTypes.h"

#include <cstdint>

// a / b rounded to the nearest integer, an exact half going to the even neighbour. b > 0.
int64_t NearestRatio(int64_t a, int64_t b);

// A 64-bit result brought back to the 32 bits the geometry is kept in (two's complement wrap).
int32_t Wrap32(int64_t value);

// The layout of one paint from the client size and the EyeDistance and Border settings.
TEyeLayout LayoutEyes(int32_t width, int32_t height, int32_t eyeDistance, int32_t border);

// Centres, travel and pupil half-size from a layout; the pupil rectangles are left at zero.
TEyeGeometry GeometryOf(const TEyeLayout& layout);

// The pupil rectangle of one eye with centre (cx, cy) for the cursor at (x, y), all in
// client pixels. Travel and half-size are shared by both eyes.
TRect PupilRect(int32_t cx, int32_t cy, const TEyeGeometry& geometry, int32_t x, int32_t y);

// True when GDI would draw something for the rectangle; degenerate ones are skipped.
inline bool IsDrawable(const TRect& r) {
    return r.Left < r.Right && r.Top < r.Bottom;
}
