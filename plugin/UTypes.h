/*
 * Types shared by the plugin's units. Kept free of <windows.h> so that the geometry and the
 * settings logic build and are tested on any platform.
 */
#pragma once

#include <cstdint>

// A rectangle in pixels; right and bottom are exclusive, as GDI takes them.
struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;

    bool operator==(const TRect& other) const {
        return Left == other.Left && Top == other.Top && Right == other.Right &&
               Bottom == other.Bottom;
    }
};

// What one paint works out and the pupil tracking reads and keeps. Client pixels.
struct TEyeGeometry {
    int32_t LeftCenterX = 0;
    int32_t LeftCenterY = 0;
    int32_t RightCenterX = 0;
    int32_t RightCenterY = 0;
    int32_t TravelX = 0;
    int32_t TravelY = 0;
    int32_t PupilHalfWidth = 0;
    int32_t PupilHalfHeight = 0;
    TRect LeftPupil;
    TRect RightPupil;
};

// The rectangles of one paint: the black eyeballs, their white insets and the inner
// rectangles that give centres and travel.
struct TEyeLayout {
    TRect LeftEye;
    TRect RightEye;
    TRect LeftWhite;
    TRect RightWhite;
    TRect LeftInner;
    TRect RightInner;
};
