/*
 * kqtovim: a pair of eyes on the Kestrune desktop whose pupils follow the mouse cursor.
 *
 * This is the main unit: the three exports the host calls, the eyes window's procedure and
 * its painting, the context menu and host commands, and the load and save of kqtovim.ini.
 * Geometry lives in EyeMath (pure), host services in kq_sdk, the file classes in CIniFile.
 * Everything runs on the host's user-interface thread, so the state below needs no lock.
 */
#include "CIniFile.h"
#include "EyeMath.h"
#include "GdiScope.h"
#include "UTypes.h"
#include "kq_sdk.h"

#include <windows.h>

#include <cstring>
#include <string>

namespace {

// Plugin settings: filled only by LoadSettings, written only by SaveSettings.
int32_t Left = 10;
int32_t Top = 10;
int32_t Width = 210;
int32_t Height = 210;
int32_t EyeDistance = 20;
int32_t Border = 3;
bool OnTop = true;

HWND PluginWindow = nullptr;
TEyeGeometry EyeGeometry;

const char* const ClassName = "Desktop Plugin Sample";
const char* const SettingsSection = "kqTovim";
const UINT_PTR TrackingTimer = 0;

std::string SettingsPath() {
    return PluginDirectory() + "kqtovim.ini";
}

// ---- settings ---------------------------------------------------------------------------

void LoadSettings() {
    TIniFile ini(SettingsPath());
    Left = ini.GetInt(SettingsSection, "Left", 10);
    Top = ini.GetInt(SettingsSection, "Top", 10);
    Height = ini.GetInt(SettingsSection, "Height", 210);
    Width = ini.GetInt(SettingsSection, "Width", 210);
    EyeDistance = ini.GetInt(SettingsSection, "EyeDistance", 20);
    Border = ini.GetInt(SettingsSection, "Border", 3);
    OnTop = ini.GetFlag(SettingsSection, "OnTop", true);
}

// Only what the user changes through the window goes back; a person sets the rest by hand.
void SaveSettings() {
    TIniFile ini(SettingsPath());
    ini.PutInt(SettingsSection, "Left", Left);
    ini.PutInt(SettingsSection, "Top", Top);
    ini.PutFlag(SettingsSection, "OnTop", OnTop);
    ini.Flush();
}

// ---- painting ---------------------------------------------------------------------------

// Degenerate rectangles (tiny windows, odd settings) draw nothing rather than GDI's
// reordered guess.
void DrawEllipse(HDC dc, const TRect& r) {
    if (IsDrawable(r))
        Ellipse(dc, r.Left, r.Top, r.Right, r.Bottom);
}

int32_t StyleField(const unsigned char* style, size_t offset) {
    int32_t value;
    std::memcpy(&value, style + offset, sizeof value);
    return value;
}

int32_t HostSetting(int index) {
    return *static_cast<const int32_t*>(GetSettingPtr(index));
}

// The host's gradient, from its current style, fetched afresh so style changes show.
void PaintBackground(HWND window, HDC dc) {
    unsigned char style[300];
    std::memcpy(style, GetSettingPtr(1), sizeof style);
    const int32_t setting14 = HostSetting(14);
    const int32_t setting12 = HostSetting(12);
    const int32_t setting13 = HostSetting(13);
    RECT client;
    GetClientRect(window, &client);
    MakeGradient(dc, client.left, client.top, client.right, client.bottom, StyleField(style, 8),
                 StyleField(style, 20), StyleField(style, 16), style[13] != 0 ? -1 : 0,
                 StyleField(style, 0), StyleField(style, 4), setting14, setting13, setting12);
}

// One pupil update: old pupils painted over in white, new ones drawn in black, straight onto
// the window. Runs on every tick whether the cursor moved or not.
void TrackPupils(HWND window) {
    POINT cursor;
    GetCursorPos(&cursor);
    WindowDC dc(window);
    POINT origin = {0, 0};
    GetDCOrgEx(dc, &origin);
    const int32_t x = cursor.x - origin.x, y = cursor.y - origin.y;
    const TRect left =
        PupilRect(EyeGeometry.LeftCenterX, EyeGeometry.LeftCenterY, EyeGeometry, x, y);
    const TRect right =
        PupilRect(EyeGeometry.RightCenterX, EyeGeometry.RightCenterY, EyeGeometry, x, y);
    // One test on the left pupil decides for both: nothing to erase before the first draw.
    if (EyeGeometry.LeftPupil.Left < EyeGeometry.LeftPupil.Right) {
        SolidColour white(dc, WHITE_PEN, WHITE_BRUSH);
        DrawEllipse(dc, EyeGeometry.LeftPupil);
        DrawEllipse(dc, EyeGeometry.RightPupil);
    }
    {
        SolidColour black(dc, BLACK_BRUSH, BLACK_PEN);
        DrawEllipse(dc, left);
        DrawEllipse(dc, right);
    }
    EyeGeometry.LeftPupil = left;
    EyeGeometry.RightPupil = right;
}

// Both eyeballs whole through a context of their own, whatever part of the window the paint
// covers; then the geometry for the pupils, and the pupils.
void PaintEyes(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    const TEyeLayout layout =
        LayoutEyes(client.right - client.left, client.bottom - client.top, EyeDistance, Border);
    {
        WindowDC dc(window);
        {
            SolidColour black(dc, BLACK_PEN, BLACK_BRUSH);
            DrawEllipse(dc, layout.LeftEye);
            DrawEllipse(dc, layout.RightEye);
        }
        SolidColour white(dc, WHITE_PEN, WHITE_BRUSH);
        DrawEllipse(dc, layout.LeftWhite);
        DrawEllipse(dc, layout.RightWhite);
    }
    const TEyeGeometry geometry = GeometryOf(layout);
    const TRect leftPupil = EyeGeometry.LeftPupil, rightPupil = EyeGeometry.RightPupil;
    EyeGeometry = geometry;
    EyeGeometry.LeftPupil = leftPupil;
    EyeGeometry.RightPupil = rightPupil;
    TrackPupils(window);
}

// ---- menu and commands ------------------------------------------------------------------

void ShowPluginMenu() {
    void* mainMenu = MakeNamedMenu("Menu", "Example_IDMain", 1);
    void* tools = MakeNamedMenu("kqTovim", "Example_IDTools", 1);
    MakeMenuItem(tools, "About...", "@about", false);
    MakeSubmenu(mainMenu, tools, "kqTovim");
    void* config = MakeNamedMenu("Configuration", "Example_IDConfig", 1);
    MakeMenuItem(config, "Always On Top", "@AlwaysOnTop", OnTop ? 1 : 0);
    // No quotes: the host takes the command line as it stands.
    const std::string editCommand = "notepad " + PluginDirectory() + "kqtovim.ini";
    MakeMenuItem(config, "Edit config...", editCommand.c_str(), false);
    MakeSubmenu(mainMenu, config, "Configuration");
    ShowMenu(mainMenu); // the host copies the texts it keeps; ours go at return
}

void ShowAbout() {
    MessageBoxA(nullptr,
                "kqTovim 0.3 pure\n\r"
                "Plain Win32 build, no runtime DLLs needed\n\r"
                "Written by the kqtovim developers\n\r"
                "mailto:kqtovim@example.org",
                "About tovim", MB_OK);
}

void HandleCommand(const char* text) {
    const std::string command = text != nullptr ? text : "";
    if (command == "@about")
        ShowAbout();
    if (command == "@AlwaysOnTop")
        OnTop = !OnTop; // applied to the window at the next start
    SaveSettings();
}

// ---- window procedure ---------------------------------------------------------------------

void OnPaint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    PaintBackground(window, dc);
    PaintEyes(window);
    EndPaint(window, &paint);
}

void OnWindowPosChanged(const WINDOWPOS* position) {
    Left = position->x;
    Top = position->y;
    SaveSettings();
}

LRESULT CALLBACK EyesWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: SetTimer(window, TrackingTimer, 100, nullptr); break;
    case WM_PAINT: OnPaint(window); break;
    case WM_CLOSE: return 0; // only endPlugin takes the window down
    case WM_WINDOWPOSCHANGING: SnapWindowToEdge(reinterpret_cast<WINDOWPOS*>(lParam), 10, 1); break;
    case WM_WINDOWPOSCHANGED: OnWindowPosChanged(reinterpret_cast<const WINDOWPOS*>(lParam)); break;
    case WM_NCHITTEST:
        return HTCAPTION; // the whole window is a drag handle
    // The default handling of a right press on a caption captures the mouse and swallows the
    // release, so the menu below would never open. Answering the press lets it through.
    case WM_NCRBUTTONDOWN: return 0;
    case WM_NCRBUTTONUP: ShowPluginMenu(); break;
    case WM_TIMER: TrackPupils(window); break;
    case KQ_BROADCAST: HandleCommand(reinterpret_cast<const char*>(lParam)); break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

// ---- exports ------------------------------------------------------------------------------

extern "C" __declspec(dllexport) int __cdecl beginPlugin(HINSTANCE instance) {
    LoadSettings();
    WNDCLASSA windowClass = {};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = EyesWindowProc;
    windowClass.cbWndExtra = 30;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = ClassName;
    const bool registered = RegisterClassA(&windowClass) != 0;
    // Created under the library's own handle: the host passes that same handle above.
    PluginWindow =
        CreateWindowExA(0, ClassName, "kqtovim",
                        WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_SYSMENU,
                        Left, Top, Width, Height, GetKQWnd(), nullptr, PluginInstance, nullptr);
    if (PluginWindow != nullptr) {
        ShowWindow(PluginWindow, SW_SHOW);
        UpdateWindow(PluginWindow);
        RegisterWithHost(PluginWindow);
        MakeSticky(PluginWindow);
        SetWindowPos(PluginWindow, OnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SetWindowLongA(PluginWindow, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
    }
    return registered ? 0 : 1;
}

extern "C" __declspec(dllexport) int __cdecl endPlugin(HINSTANCE instance) {
    KillTimer(PluginWindow, TrackingTimer);
    if (PluginWindow != nullptr) {
        DestroyWindow(PluginWindow);
        PluginWindow = nullptr;
    }
    return UnregisterClassA(ClassName, instance);
}

extern "C" __declspec(dllexport) const char* __cdecl pluginInfo(uint32_t field) {
    switch (field) {
    case 1: return "kqApiTovim";
    case 2: return "0.3";
    case 3: return "The kqtovim developers";
    case 4: return "07.05.2004";
    case 5: return "";
    case 6: return "mailto:kqtovim@example.org";
    default: return "0.3";
    }
}
