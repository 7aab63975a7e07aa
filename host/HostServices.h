/*
 * The reference Kestrune host as a library: the nine services a plugin imports from
 * Kestrune.exe, the host's main window with its messages, popup menus, command running,
 * the style settings and a trace of every call. Linked into the host program and into the
 * end-to-end test executables, which are themselves named Kestrune.exe.
 */
#pragma once

#include "HostMath.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// The plugin calls the host through these, imported by name from Kestrune.exe.
extern "C" {
__declspec(dllexport) HWND __cdecl GetKQWnd();
__declspec(dllexport) int __cdecl MakeSticky(HWND window);
__declspec(dllexport) int __cdecl SnapWindowToEdge(WINDOWPOS* position, int distance, int flags);
__declspec(dllexport) void* __cdecl GetSettingPtr(int index);
__declspec(dllexport) int __cdecl MakeGradient(HDC dc, int left, int top, int right, int bottom,
                                               int type, int colourFrom, int colourTo,
                                               int interlaced, int bevel, int bevelWidth, int shade,
                                               int borderColour, int borderWidth);
__declspec(dllexport) void* __cdecl MakeNamedMenu(const char* title, const char* identifier,
                                                  int popup);
__declspec(dllexport) int __cdecl MakeMenuItem(void* menu, const char* title, const char* command,
                                               int checked);
__declspec(dllexport) int __cdecl MakeSubmenu(void* parent, void* child, const char* title);
__declspec(dllexport) int __cdecl ShowMenu(void* menu);
}

// Messages between host and plugins.
constexpr UINT HOST_REGISTER_MESSAGES = 10001;
constexpr UINT HOST_BROADCAST = 10901;
// Posted to the host's window by ShowMenu: the menu is tracked once the plugin has returned.
constexpr UINT HOST_SHOW_MENU = WM_APP + 1;

// Layout of the style record behind setting 1, as this host defines it (300 bytes).
namespace StyleRecord {
constexpr size_t Size = 300;
constexpr size_t Bevel = 0;       // int32: 0 none, 1 raised, 2 sunken
constexpr size_t BevelWidth = 4;  // int32: pixels
constexpr size_t Type = 8;        // int32: 0 horizontal, 1 vertical, 2 diagonal, 3 solid
constexpr size_t Interlaced = 13; // byte: non-zero darkens every other row
constexpr size_t ColourTo = 16;   // int32: 0x00BBGGRR at the bottom / right
constexpr size_t ColourFrom = 20; // int32: 0x00BBGGRR at the top / left
} // namespace StyleRecord
// Integer settings: 12 border width, 13 border colour, 14 interlace shade.
constexpr int SettingBorderWidth = 12;
constexpr int SettingBorderColour = 13;
constexpr int SettingShade = 14;

struct HostOptions {
    std::string TracePath;    // empty: trace kept in memory only
    bool Visible = true;      // the host's own small window
    bool ReportErrors = true; // a command that cannot run shows a message box
};

// Creates the host's main window (what GetKQWnd returns). Call once per process.
HWND CreateHostWindow(HINSTANCE instance, const HostOptions& options);
// Called when the host window is asked to close, before it is destroyed: the place to stop
// plugins while their owner window still exists.
void SetHostClosingHandler(void (*handler)());
// Shows a text in the host window, for instance the plugin's name and version.
void SetHostStatus(const std::string& text);

// The host's current style, read through its services as a plugin reads it.
Gradient CurrentHostGradient();
// One of the host's style presets (0, 1, 2); plugin windows are repainted with it.
void ApplyHostStyle(int preset);
int HostStylePresetCount();

// A command as a chosen menu item has it: "@word" goes to every window registered for
// HOST_BROADCAST, anything else is run as a command line, never through a shell.
// Returns false when a command line could not be started.
bool RunHostCommand(const std::string& command);

// The registered windows and the message lists they asked for, and the sticky windows.
struct Registration {
    HWND Window;
    std::vector<uint32_t> Messages;
};
std::vector<Registration> HostRegistrations();
std::vector<HWND> HostStickyWindows();

// The trace: one line per service call and per host message, oldest first.
std::vector<std::string> HostTrace();
void ClearHostTrace();
// Off: calls are no longer recorded (long runs would grow the trace without end).
void SetHostTracing(bool on);
std::string HexOf(const void* handle);

// A plugin library loaded by path, with its three exports.
struct HostPlugin {
    HMODULE Module = nullptr;
    int(__cdecl* Begin)(HINSTANCE) = nullptr;
    int(__cdecl* End)(HINSTANCE) = nullptr;
    const char*(__cdecl* Info)(uint32_t) = nullptr;
    bool Loaded() const { return Module != nullptr && Begin && End && Info; }
};
HostPlugin LoadHostPlugin(const std::string& path);
void FreeHostPlugin(HostPlugin& plugin);
