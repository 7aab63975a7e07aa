/*
 * The end-to-end fixture. The test executable is itself Kestrune.exe: it links the reference
 * host, so the real kqtovim.dll, loaded from a folder of the test's own, binds its services
 * to it. Every test gets a fresh copy of the DLL, and so its own kqtovim.ini; every wait is
 * bounded.
 */
#pragma once

#include "EyeMath.h"
#include "HostMath.h"
#include "HostServices.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

// The window's client area as 0x00RRGGBB pixels.
struct Image {
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Pixels;
    uint32_t At(int x, int y) const { return Pixels[static_cast<size_t>(y * Width + x)]; }
};

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kWhite = 0xFFFFFF;

// Pixel centres inside the white of an eye, margin pixels away from its rim.
bool InsideWhite(const TRect& white, int x, int y, double margin);
// The bounds (right and bottom exclusive) of the pure black pixels inside a white: the pupil
// as drawn.
TRect BlackPixelBounds(const Image& image, const TRect& white);
// The number of pixels inside a white, outside the pupil's rectangle, that are not white.
int CountStrayPixels(const Image& image, const TRect& white, const TRect& pupil);

// Dispatches messages for about ms milliseconds.
void Pump(DWORD ms);
// Waits until done() or ms pass, pumping messages meanwhile; returns done().
template <class Condition> bool PumpUntil(DWORD ms, Condition done) {
    const DWORD start = GetTickCount();
    while (!done() && GetTickCount() - start < ms)
        Pump(10);
    return done();
}

std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& text);
// The lines that begin with prefix, and those of the host's trace.
std::vector<std::string> LinesStarting(const std::vector<std::string>& lines,
                                       const std::string& prefix);
std::vector<std::string> TraceLinesStarting(const std::string& prefix);
// Plays a user at the host's popup menu from a thread of its own (the menu's modal loop runs
// on the test's thread): waits up to 3 s for the menu, then, level by level, moves the
// highlight with the arrow keys onto the item of that title, checking the menu's own state
// after each key, opens it or chooses it. On any miss it closes the menu and returns false,
// so a test fails instead of hanging.
bool ChooseInHostMenu(std::initializer_list<const char*> path);
// The eyes window of this process other than except, or null. A test's own: the window of a
// test program that is still on its way out may linger a moment on the same desktop.
HWND FindPluginWindow(HWND except = nullptr);
// Sends a command text to a window as the host does when a menu item's command starts with "@".
void SendHostCommand(HWND window, const char* text);
// Finds a top-level window of this process with the class and title, waiting up to ms.
HWND WaitForWindow(const char* className, const char* title, DWORD ms);
// Points a loaded module's import of function (from the named DLL) at replacement, and returns
// what it called before, or null when it imports no such function. The plugin calls Windows
// through this table, so a test can watch its calls while they still reach Windows.
void* PatchImport(HMODULE module, const char* dll, const char* function, void* replacement);

class PluginTest : public testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Puts the plugin into a folder of the given name (below the test's work folder).
    void UseFolder(const std::string& name);
    void WriteIni(const std::string& text) { WriteWholeFile(IniPath, text); }
    std::string ReadIni() const { return ReadWholeFile(IniPath); }
    bool IniExists() const;

    // Loads the DLL and calls beginPlugin, as the host does: Load(), then Begin().
    void Start();
    void Load();
    void Begin();
    // endPlugin and FreeLibrary; returns endPlugin's result.
    int Stop();

    RECT WindowRect() const;
    POINT ClientOrigin() const;
    void MoveCursorToClient(int x, int y) const;
    // Pumps messages long enough for a few timer ticks to arrive.
    void LetTicksPass() { Pump(250); }
    Image Capture() const;
    void MoveWindowTo(int x, int y) const;
    bool IsTopmost() const;

    std::string Folder;
    std::string DllPath;
    std::string IniPath;
    HostPlugin Plugin;
    HWND Window = nullptr;
    int BeginResult = -1;
};
