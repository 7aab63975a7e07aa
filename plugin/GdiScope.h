/*
 * Scoped GDI helpers: a window drawing context and a selected pen or brush that are released
 * or restored where they were taken, so no handle outlives the function that took it.
 */
#pragma once

#include <windows.h>

// A drawing context for the whole client area of a window (not clipped to the update region).
class WindowDC {
  public:
    explicit WindowDC(HWND window) : Window(window), DC(GetDC(window)) {}
    ~WindowDC() {
        if (DC != nullptr)
            ReleaseDC(Window, DC);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    operator HDC() const { return DC; }

  private:
    HWND Window;
    HDC DC;
};

// Selects a GDI object into a context and puts the previous one back on scope exit.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object) : DC(dc), Previous(SelectObject(dc, object)) {}
    ~SelectedObject() {
        if (Previous != nullptr && Previous != HGDI_ERROR)
            SelectObject(DC, Previous);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

  private:
    HDC DC;
    HGDIOBJ Previous;
};

// A stock pen and brush of one colour together, selected in the order given (pen first or
// brush first): every ellipse the eyes draw is solid. Both are put back on scope exit.
class SolidColour {
  public:
    SolidColour(HDC dc, int firstStock, int secondStock)
        : First(dc, GetStockObject(firstStock)), Second(dc, GetStockObject(secondStock)) {}

  private:
    SelectedObject First;
    SelectedObject Second;
};
