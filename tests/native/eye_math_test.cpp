/*
 * Eye layout and pupil position, checked against worked layouts and the boundary cases the
 * integer arithmetic has to get right (halves, negative distances, huge windows).
 */
#include "EyeMath.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TRect R(int32_t l, int32_t t, int32_t r, int32_t b) {
    return {l, t, r, b};
}

void ExpectRect(const TRect& actual, const TRect& expected) {
    EXPECT_EQ(actual.Left, expected.Left);
    EXPECT_EQ(actual.Top, expected.Top);
    EXPECT_EQ(actual.Right, expected.Right);
    EXPECT_EQ(actual.Bottom, expected.Bottom);
}

struct Expected {
    TRect LeftEye, RightEye, LeftInner, RightInner;
    int32_t LeftCX, CY, RightCX, TravelX, TravelY, HalfW, HalfH;
};

void ExpectLayout(int32_t w, int32_t h, int32_t d, int32_t b, const Expected& e) {
    SCOPED_TRACE(testing::Message() << "W=" << w << " H=" << h << " D=" << d << " B=" << b);
    const TEyeLayout layout = LayoutEyes(w, h, d, b);
    ExpectRect(layout.LeftEye, e.LeftEye);
    ExpectRect(layout.RightEye, e.RightEye);
    ExpectRect(layout.LeftWhite,
               R(e.LeftEye.Left + b, e.LeftEye.Top + b, e.LeftEye.Right - b, e.LeftEye.Bottom - b));
    ExpectRect(layout.RightWhite, R(e.RightEye.Left + b, e.RightEye.Top + b, e.RightEye.Right - b,
                                    e.RightEye.Bottom - b));
    ExpectRect(layout.LeftInner, e.LeftInner);
    ExpectRect(layout.RightInner, e.RightInner);
    const TEyeGeometry g = GeometryOf(layout);
    EXPECT_EQ(g.LeftCenterX, e.LeftCX);
    EXPECT_EQ(g.LeftCenterY, e.CY);
    EXPECT_EQ(g.RightCenterX, e.RightCX);
    EXPECT_EQ(g.RightCenterY, e.CY);
    EXPECT_EQ(g.TravelX, e.TravelX);
    EXPECT_EQ(g.TravelY, e.TravelY);
    EXPECT_EQ(g.PupilHalfWidth, e.HalfW);
    EXPECT_EQ(g.PupilHalfHeight, e.HalfH);
    ExpectRect(g.LeftPupil, R(0, 0, 0, 0));
}

TEyeGeometry DefaultGeometry() {
    return GeometryOf(LayoutEyes(210, 210, 20, 3));
}

} // namespace

TEST(NearestRatio, HalvesGoToTheEvenNeighbourOnBothSidesOfZero) {
    EXPECT_EQ(NearestRatio(147, 2), 74);  // 73.5
    EXPECT_EQ(NearestRatio(105, 2), 52);  // 52.5
    EXPECT_EQ(NearestRatio(217, 2), 108); // 108.5
    EXPECT_EQ(NearestRatio(1, 2), 0);
    EXPECT_EQ(NearestRatio(3, 2), 2);
    EXPECT_EQ(NearestRatio(-1, 2), 0);
    EXPECT_EQ(NearestRatio(-3, 2), -2);
    EXPECT_EQ(NearestRatio(-5, 2), -2);
    EXPECT_EQ(NearestRatio(-7, 2), -4);
    EXPECT_EQ(NearestRatio(-151, 100), -2);
    EXPECT_EQ(NearestRatio(-149, 100), -1);
    EXPECT_EQ(NearestRatio(149, 100), 1);
    EXPECT_EQ(NearestRatio(0, 7), 0);
}

TEST(LayoutEyes, WorkedLayouts) {
    ExpectLayout(210, 210, 20, 3,
                 {R(1, 1, 84, 210), R(129, 1, 209, 210), R(11, 22, 74, 189), R(139, 22, 199, 189),
                  43, 106, 170, 19, 49, 8, 16});
    ExpectLayout(150, 150, 20, 3,
                 {R(1, 1, 62, 150), R(88, 1, 149, 150), R(8, 16, 55, 135), R(95, 16, 142, 135), 32,
                  76, 119, 14, 35, 6, 11});
    ExpectLayout(150, 100, 0, 2,
                 {R(1, 1, 52, 100), R(98, 1, 149, 100), R(8, 11, 45, 90), R(105, 11, 142, 90), 27,
                  51, 124, 11, 23, 4, 7});
    ExpectLayout(300, 200, -7, 5,
                 {R(1, 1, 102, 200), R(202, 1, 299, 200), R(16, 21, 87, 180), R(217, 21, 284, 180),
                  52, 101, 251, 21, 47, 8, 15});
}

TEST(LayoutEyes, OverlappingEyesOfATinyWindow) {
    const TEyeLayout layout = LayoutEyes(30, 30, 20, 3);
    ExpectRect(layout.LeftEye, R(1, 1, 20, 30));
    ExpectRect(layout.RightEye, R(9, 1, 29, 30));
    EXPECT_GT(layout.LeftEye.Right, layout.RightEye.Left);
}

TEST(LayoutEyes, OddAndNegativeDistancesTruncateTowardZero) {
    // D div 2 truncates: 21 -> 10, -21 -> -10; the right eye moves by the whole D.
    EXPECT_EQ(LayoutEyes(210, 210, 21, 3).LeftEye.Right, 84);
    EXPECT_EQ(LayoutEyes(210, 210, 21, 3).RightEye.Left, 128);
    EXPECT_EQ(LayoutEyes(210, 210, -21, 3).LeftEye.Right, 64);
    // nearest(64 + 65.1) + 21 = 150
    EXPECT_EQ(LayoutEyes(210, 210, -21, 3).RightEye.Left, 150);
    EXPECT_EQ(LayoutEyes(210, 210, -1, 3).LeftEye.Right, 74);
}

TEST(LayoutEyes, HalvesInBothRoundingsOfTheLeftEye) {
    // W = 10: 5 - 1.5 = 3.5 -> 4; W = 30: 15 - 4.5 = 10.5 -> 10; W = 50: 25 - 7.5 = 17.5 -> 18.
    EXPECT_EQ(LayoutEyes(10, 10, 0, 0).LeftEye.Right, 4);
    EXPECT_EQ(LayoutEyes(30, 30, 0, 0).LeftEye.Right, 10);
    EXPECT_EQ(LayoutEyes(50, 50, 0, 0).LeftEye.Right, 18);
    // Odd widths: W div 2 drops the half pixel first (W = 211: 105 - 31.65 = 73.35 -> 73).
    EXPECT_EQ(LayoutEyes(211, 210, 0, 0).LeftEye.Right, 73);
}

TEST(LayoutEyes, ExactFarBeyondEightThousandPixels) {
    // W = 2000000010: W div 2 = 1000000005, 0.15 W = 300000001.5, so 700000003.5 -> 700000004;
    // a double would still do here, but the ratio needs no such luck.
    const TEyeLayout big = LayoutEyes(2000000010, 100, 0, 0);
    EXPECT_EQ(big.LeftEye.Right, 700000004);
    // E + 0.31 W = 700000004 + 620000003.1 -> 1320000007
    EXPECT_EQ(big.RightEye.Left, 1320000007);
    EXPECT_EQ(big.RightEye.Right, 2000000009);
    const TEyeGeometry g = GeometryOf(LayoutEyes(INT32_MAX, INT32_MAX, INT32_MAX, 0));
    EXPECT_GT(g.TravelX, 0);
    EXPECT_GT(g.TravelY, 0);
}

TEST(LayoutEyes, ZeroSizeAndHugeBorderGiveUndrawableRectangles) {
    const TEyeLayout empty = LayoutEyes(0, 0, 20, 3);
    EXPECT_FALSE(IsDrawable(empty.LeftWhite));
    EXPECT_FALSE(IsDrawable(empty.RightEye));
    const TEyeLayout thick = LayoutEyes(210, 210, 20, 200);
    EXPECT_TRUE(IsDrawable(thick.LeftEye));
    EXPECT_FALSE(IsDrawable(thick.LeftWhite));
    const TEyeLayout negative = LayoutEyes(210, 210, 20, -5);
    ExpectRect(negative.LeftWhite, R(-4, -4, 89, 215));
}

TEST(PupilRect, WorkedCursorPositions) {
    const TEyeGeometry g = DefaultGeometry();
    const auto both = [&](int32_t x, int32_t y, TRect left, TRect right) {
        SCOPED_TRACE(testing::Message() << "cursor " << x << "," << y);
        ExpectRect(PupilRect(g.LeftCenterX, g.LeftCenterY, g, x, y), left);
        ExpectRect(PupilRect(g.RightCenterX, g.RightCenterY, g, x, y), right);
    };
    both(300, 106, R(54, 90, 70, 122), R(181, 90, 197, 122));
    both(43, 106, R(35, 90, 51, 122), R(143, 90, 159, 122));
    both(50, 110, R(42, 94, 58, 126), R(143, 92, 159, 124));
    both(63, 146, R(43, 134, 59, 166), R(144, 107, 160, 139));
    both(43, 150, R(35, 134, 51, 166), R(144, 106, 160, 138));
    both(-1000, -1000, R(22, 54, 38, 86), R(148, 56, 164, 88));
}

TEST(PupilRect, FarAwayInEachQuadrantStaysOnTheTravelEllipse) {
    const TEyeGeometry g = DefaultGeometry();
    const int32_t cx = g.LeftCenterX, cy = g.LeftCenterY;
    const int32_t far = 1000000; // squares overflow 32 bits here
    for (int sx : {-1, 1})
        for (int sy : {-1, 1}) {
            const TRect r = PupilRect(cx, cy, g, cx + sx * far, cy + sy * far);
            const int32_t px = (r.Left + r.Right) / 2 - cx, py = (r.Top + r.Bottom) / 2 - cy;
            // 19 / sqrt 2 = 13.43 -> 13, 49 / sqrt 2 = 34.65 -> 35
            EXPECT_EQ(px, sx * 13);
            EXPECT_EQ(py, sy * 35);
        }
    // Straight along an axis the pupil reaches the full travel.
    EXPECT_EQ(PupilRect(cx, cy, g, cx, cy - far).Top, cy - 49 - 16);
    EXPECT_EQ(PupilRect(cx, cy, g, INT32_MIN, cy).Left, cx - 19 - 8);
}

TEST(PupilRect, OnTheCentreAndOnTheBoundary) {
    const TEyeGeometry g = DefaultGeometry();
    // Exactly on the centre: no division, centred pupil.
    ExpectRect(PupilRect(43, 106, g, 43, 106), R(35, 90, 51, 122));
    // Equal squared lengths keep the scaled vector: offset (20, 40) scales to (8, 44).
    ExpectRect(PupilRect(43, 106, g, 63, 146), R(43, 134, 59, 166));
    // Just inside on the axis: offset (18, 0) < (19, 0) -> under the cursor.
    ExpectRect(PupilRect(43, 106, g, 61, 106), R(53, 90, 69, 122));
    // On the axis at the travel: (19, 0) equals the scaled (19, 0).
    ExpectRect(PupilRect(43, 106, g, 62, 106), R(54, 90, 70, 122));
    // A zero travel keeps the pupil centred wherever the cursor is.
    TEyeGeometry still = g;
    still.TravelX = still.TravelY = 0;
    ExpectRect(PupilRect(43, 106, still, 500, 500), R(35, 90, 51, 122));
}
