/*
 * The plugin's side of the Kestrune host: the services it imports from Kestrune.exe, the
 * message numbers it exchanges with the host, the registration of its window, and the folder
 * the plugin library was loaded from.
 *
 * The services are bound lazily (delay-loaded), so the library's start-up check of the host
 * runs before anything is resolved and can tell the user what is wrong. For that the
 * declarations must not carry dllimport: with it, the linker would bypass the delay thunks.
 */
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// Registration with the host's main window: wParam the window, lParam its message list.
constexpr UINT KQ_REGISTER_MESSAGES = 10001;
// Asked for at registration; carries nothing the plugin acts on.
constexpr UINT KQ_HOST_NOTIFY = 10103;
// A command broadcast from the host: lParam is a zero-terminated command text.
constexpr UINT KQ_BROADCAST = 10901;

extern "C" {
HWND __cdecl GetKQWnd();
int __cdecl MakeSticky(HWND window);
int __cdecl SnapWindowToEdge(WINDOWPOS* position, int distance, int flags);
void* __cdecl GetSettingPtr(int index);
int __cdecl MakeGradient(HDC dc, int left, int top, int right, int bottom, int type, int colourFrom,
                         int colourTo, int interlaced, int bevel, int bevelWidth, int shade,
                         int borderColour, int borderWidth);
void* __cdecl MakeNamedMenu(const char* title, const char* identifier, int popup);
int __cdecl MakeMenuItem(void* menu, const char* title, const char* command, int checked);
int __cdecl MakeSubmenu(void* parent, void* child, const char* title);
int __cdecl ShowMenu(void* menu);
}

// The module handle the system gave the library when it loaded it.
extern HINSTANCE PluginInstance;

// Announces the window to the host's main window with the messages it wants.
void RegisterWithHost(HWND window);

// The plugin library's folder, with its trailing separator; empty if it cannot be had.
std::string PluginDirectory();
