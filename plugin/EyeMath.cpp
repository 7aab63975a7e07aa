/*
 * Eye layout and pupil position. See EyeMath.h for why the arithmetic is integral.
 */
#include "EyeMath.h"

#include <cmath>

int64_t NearestRatio(int64_t a, int64_t b) {
    int64_t q = a / b;
    int64_t r = a % b;
    if (r < 0) { // make q the floor, r in [0, b)
        q -= 1;
        r += b;
    }
    if (2 * r > b || (2 * r == b && (q & 1) != 0))
        q += 1;
    return q;
}

int32_t Wrap32(int64_t value) {
    return static_cast<int32_t>(static_cast<uint32_t>(value));
}

namespace {

TRect Inset(const TRect& r, int64_t dx, int64_t dy) {
    return {Wrap32(r.Left + dx), Wrap32(r.Top + dy), Wrap32(r.Right - dx), Wrap32(r.Bottom - dy)};
}

int32_t MidPlusOne(int32_t lo, int32_t hi) {
    return Wrap32((int64_t{lo} + hi) / 2 + 1);
}

// The nearest integer to a double, halves to even (the default rounding mode).
int64_t NearestReal(double value) {
    return static_cast<int64_t>(std::nearbyint(value));
}

} // namespace

TEyeLayout LayoutEyes(int32_t width, int32_t height, int32_t eyeDistance, int32_t border) {
    const int64_t w = width, h = height;
    TEyeLayout layout;
    // nearest(W div 2 - 0.15 W) + D div 2
    const int64_t leftRight = NearestRatio(100 * (w / 2) - 15 * w, 100) + eyeDistance / 2;
    layout.LeftEye = {1, 1, Wrap32(leftRight), height};
    // nearest(E + 0.31 W) - D, with E the left eye's right edge as kept in 32 bits
    const int64_t e = layout.LeftEye.Right;
    layout.RightEye = {Wrap32(NearestRatio(100 * e + 31 * w, 100) - eyeDistance), 1, Wrap32(w - 1),
                       height};
    layout.LeftWhite = Inset(layout.LeftEye, border, border);
    layout.RightWhite = Inset(layout.RightEye, border, border);
    const int64_t dx = (w / 2) / 10, dy = h / 10;
    layout.LeftInner = Inset(layout.LeftEye, dx, dy);
    layout.RightInner = Inset(layout.RightEye, dx, dy);
    return layout;
}

TEyeGeometry GeometryOf(const TEyeLayout& layout) {
    const TRect& left = layout.LeftInner;
    TEyeGeometry g;
    g.LeftCenterX = MidPlusOne(left.Left, left.Right);
    g.LeftCenterY = MidPlusOne(left.Top, left.Bottom);
    g.RightCenterX = MidPlusOne(layout.RightInner.Left, layout.RightInner.Right);
    g.RightCenterY = g.LeftCenterY;
    // (extent / 2) / 1.7 == 5 extent / 17; both eyes travel as far as the left one.
    g.TravelX = Wrap32(NearestRatio(5 * (int64_t{left.Right} - left.Left), 17));
    g.TravelY = Wrap32(NearestRatio(5 * (int64_t{left.Bottom} - left.Top), 17));
    g.PupilHalfWidth = Wrap32(NearestRatio(2 * int64_t{g.TravelX}, 5));    // TravelX / 2.5
    g.PupilHalfHeight = Wrap32(NearestRatio(10 * int64_t{g.TravelY}, 31)); // TravelY / 3.1
    return g;
}

TRect PupilRect(int32_t cx, int32_t cy, const TEyeGeometry& geometry, int32_t x, int32_t y) {
    // 64-bit offsets and squares: a 32-bit square overflows beyond about 46 000 pixels.
    const int64_t dx = int64_t{x} - cx, dy = int64_t{y} - cy;
    const int64_t cursorSquare = dx * dx + dy * dy;
    double ux = 0, uy = 0;
    if (cursorSquare != 0) {
        const double length = std::sqrt(static_cast<double>(cursorSquare));
        ux = static_cast<double>(dx) / length;
        uy = static_cast<double>(dy) / length;
    }
    int64_t px = NearestReal(geometry.TravelX * ux);
    int64_t py = NearestReal(geometry.TravelY * uy);
    // Within the travel ellipse the pupil sits right under the cursor.
    if (cursorSquare < px * px + py * py) {
        px = dx;
        py = dy;
    }
    const int64_t hw = geometry.PupilHalfWidth, hh = geometry.PupilHalfHeight;
    return {Wrap32(cx + px - hw), Wrap32(cy + py - hh), Wrap32(cx + px + hw), Wrap32(cy + py + hh)};
}
