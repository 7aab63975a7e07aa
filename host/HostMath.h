/*
 * The reference host's pure arithmetic: edge snapping and the gradient it paints. No
 * <windows.h>, so both are unit-tested natively.
 */
#pragma once

#include <cstdint>
#include <vector>

// A position on one axis pulled onto an edge of [low, high) when the window's near or far
// side comes within distance pixels of it (at most distance).
int32_t SnapAxis(int32_t position, int32_t size, int32_t low, int32_t high, int32_t distance);

// What MakeGradient's fourteen values mean in this host (colours are 0x00BBGGRR).
struct Gradient {
    int32_t Type = 1;        // 0 horizontal, 1 vertical, 2 diagonal, anything else solid
    uint32_t ColourFrom = 0; // at the left / top
    uint32_t ColourTo = 0;   // at the right / bottom
    bool Interlaced = false; // every odd row darkened by Shade
    int32_t Bevel = 0;       // 0 none, 1 raised, 2 sunken
    int32_t BevelWidth = 0;  // pixels
    int32_t Shade = 0;       // 0..255, how much an interlaced row is darkened
    uint32_t BorderColour = 0;
    int32_t BorderWidth = 0; // pixels, drawn over everything else
};

// The gradient's pixels, row by row from the top, as 0x00RRGGBB (a top-down 32-bit DIB).
std::vector<uint32_t> RenderGradient(const Gradient& gradient, int32_t width, int32_t height);
