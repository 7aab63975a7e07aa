/*
 * The reference Kestrune host; see HostServices.h for what each service means here.
 * All of it runs on the host's user-interface thread except the trace, which test watcher
 * threads may read, hence its lock.
 */
#include "HostServices.h"

#include "HostMath.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

namespace {

struct MenuEntry {
    std::string Title;
    std::string Command;
    bool Checked = false;
    struct HostMenu* Submenu = nullptr;
};

struct HostMenu {
    std::string Title;
    std::string Identifier;
    std::vector<MenuEntry> Entries;
};

struct HostState {
    HWND MainWindow = nullptr;
    HostOptions Options;
    void (*Closing)() = nullptr;
    std::string Status;
    std::vector<HWND> Sticky;
    std::vector<Registration> Registrations;
    // Menus are kept by identifier: a plugin that rebuilds its menu at every opening reuses
    // the same few objects instead of growing the host.
    std::map<std::string, std::unique_ptr<HostMenu>> Menus;
    unsigned char Style[StyleRecord::Size] = {};
    int32_t Settings[15] = {};
    unsigned char Unknown[StyleRecord::Size] = {}; // what an unknown setting index points at
};

HostState& Host() {
    static HostState state;
    return state;
}

std::mutex TraceLock;
std::vector<std::string> TraceLines;
bool Tracing = true;

// Opened once, when the host window is made; every line is flushed so a crash loses none.
FILE* TraceFile = nullptr;

void Trace(const std::string& line) {
    std::lock_guard<std::mutex> guard(TraceLock);
    if (!Tracing)
        return;
    TraceLines.push_back(line);
    if (TraceFile != nullptr) {
        std::fprintf(TraceFile, "%s\n", line.c_str());
        std::fflush(TraceFile);
    }
}

std::string Quoted(const char* text) {
    return text != nullptr ? "\"" + std::string(text) + "\"" : std::string("null");
}

void PutField(int32_t value, size_t offset) {
    std::memcpy(Host().Style + offset, &value, sizeof value);
}

HostMenu* KnownMenu(void* menu) {
    for (auto& [id, known] : Host().Menus)
        if (known.get() == menu)
            return known.get();
    return nullptr;
}

std::string MenuName(void* menu) {
    const HostMenu* known = KnownMenu(menu);
    return known != nullptr ? known->Identifier : "unknown:" + HexOf(menu);
}

// Fills a popup menu; every item's command is kept in commands, its id being index + 1.
void BuildPopup(HMENU popup, const HostMenu& menu, std::vector<std::string>& commands, int depth) {
    for (const MenuEntry& entry : menu.Entries) {
        if (entry.Submenu != nullptr) {
            if (depth > 8) // a menu that contains itself must not recurse forever
                continue;
            HMENU child = CreatePopupMenu();
            BuildPopup(child, *entry.Submenu, commands, depth + 1);
            AppendMenuA(popup, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(child),
                        entry.Title.c_str());
        } else {
            commands.push_back(entry.Command);
            AppendMenuA(popup, MF_STRING | (entry.Checked ? MF_CHECKED : MF_UNCHECKED),
                        commands.size(), entry.Title.c_str());
        }
    }
}

void TrackHostMenu(void* menu) {
    const HostMenu* known = KnownMenu(menu);
    if (known == nullptr)
        return;
    std::vector<std::string> commands;
    HMENU popup = CreatePopupMenu();
    BuildPopup(popup, *known, commands, 0);
    POINT at;
    GetCursorPos(&at);
    HWND owner = Host().MainWindow;
    SetForegroundWindow(owner); // else the menu would not close when clicked away from
    Trace("menu shown " + known->Identifier + " at " + std::to_string(at.x) + "," +
          std::to_string(at.y));
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, owner, nullptr));
    PostMessageA(owner, WM_NULL, 0, 0);
    DestroyMenu(popup); // takes the submenus with it
    if (chosen >= 1 && chosen <= commands.size())
        RunHostCommand(commands[chosen - 1]);
    else
        Trace("menu closed");
}

// Plugins do not unregister: a window that is gone is forgotten the next time we look.
void ForgetDestroyedWindows() {
    HostState& host = Host();
    auto& all = host.Registrations;
    all.erase(std::remove_if(all.begin(), all.end(),
                             [](const Registration& r) { return !IsWindow(r.Window); }),
              all.end());
    auto& sticky = host.Sticky;
    sticky.erase(std::remove_if(sticky.begin(), sticky.end(), [](HWND w) { return !IsWindow(w); }),
                 sticky.end());
}

void RememberRegistration(HWND window, const uint32_t* list) {
    ForgetDestroyedWindows();
    Registration entry{window, {}};
    for (; list != nullptr && *list != 0 && entry.Messages.size() < 64; ++list)
        entry.Messages.push_back(*list);
    std::string line = "message 10001(" + HexOf(window) + ", [";
    for (size_t i = 0; i < entry.Messages.size(); ++i)
        line += (i ? ", " : "") + std::to_string(entry.Messages[i]);
    Trace(line + "])");
    auto& all = Host().Registrations;
    for (auto& known : all)
        if (known.Window == window) {
            known = entry;
            return;
        }
    all.push_back(entry);
}

void PaintHostWindow(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    const std::string text = Host().Status.empty() ? "No plugin loaded" : Host().Status;
    DrawTextA(dc, text.c_str(), -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EndPaint(window, &paint);
}

constexpr UINT MenuStyleFirst = 100;
constexpr UINT MenuQuit = 200;

HMENU HostMenuBar() {
    HMENU bar = CreateMenu();
    HMENU style = CreatePopupMenu();
    const char* const names[] = {"&Blue", "&Sunset (interlaced)", "&Slate (bevel, border)"};
    for (UINT i = 0; i < 3; ++i)
        AppendMenuA(style, MF_STRING, MenuStyleFirst + i, names[i]);
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(style), "&Style");
    AppendMenuA(bar, MF_STRING, MenuQuit, "&Quit");
    return bar;
}

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case HOST_REGISTER_MESSAGES:
        RememberRegistration(reinterpret_cast<HWND>(wParam),
                             reinterpret_cast<const uint32_t*>(lParam));
        return 0;
    case HOST_SHOW_MENU: TrackHostMenu(reinterpret_cast<void*>(lParam)); return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) >= MenuStyleFirst && LOWORD(wParam) < MenuStyleFirst + 3)
            ApplyHostStyle(LOWORD(wParam) - MenuStyleFirst);
        else if (LOWORD(wParam) == MenuQuit)
            PostMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    case WM_PAINT: PaintHostWindow(window); return 0;
    case WM_CLOSE:
        if (Host().Closing != nullptr)
            Host().Closing();
        DestroyWindow(window);
        return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

std::string HexOf(const void* handle) {
    char text[20];
    std::snprintf(text, sizeof text, "0x%08lx",
                  static_cast<unsigned long>(reinterpret_cast<uintptr_t>(handle)));
    return text;
}

// ---- services ---------------------------------------------------------------------------

HWND __cdecl GetKQWnd() {
    Trace("GetKQWnd() -> " + HexOf(Host().MainWindow));
    return Host().MainWindow;
}

int __cdecl MakeSticky(HWND window) {
    Trace("MakeSticky(" + HexOf(window) + ")");
    ForgetDestroyedWindows();
    auto& sticky = Host().Sticky;
    for (HWND known : sticky)
        if (known == window)
            return 1;
    sticky.push_back(window);
    return 1;
}

int __cdecl SnapWindowToEdge(WINDOWPOS* position, int distance, int flags) {
    if (position == nullptr) {
        Trace("SnapWindowToEdge(null, " + std::to_string(distance) + ", " + std::to_string(flags) +
              ")");
        return 0;
    }
    std::string line = "SnapWindowToEdge(" + HexOf(position->hwnd) + " " +
                       std::to_string(position->x) + "," + std::to_string(position->y) +
                       " flags=" + HexOf(reinterpret_cast<void*>(position->flags)) + ", " +
                       std::to_string(distance) + ", " + std::to_string(flags) + ")";
    // Only moves are snapped, and only when the caller asks for the screen edges (bit 0).
    if ((position->flags & SWP_NOMOVE) != 0 || (flags & 1) == 0) {
        Trace(line);
        return 0;
    }
    int width = position->cx, height = position->cy;
    if ((position->flags & SWP_NOSIZE) != 0) {
        RECT now;
        GetWindowRect(position->hwnd, &now);
        width = now.right - now.left;
        height = now.bottom - now.top;
    }
    const RECT proposed = {position->x, position->y, position->x + width, position->y + height};
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromRect(&proposed, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& area = monitor.rcWork;
    position->x = SnapAxis(position->x, width, area.left, area.right, distance);
    position->y = SnapAxis(position->y, height, area.top, area.bottom, distance);
    Trace(line + " -> " + std::to_string(position->x) + "," + std::to_string(position->y));
    return 1;
}

void* __cdecl GetSettingPtr(int index) {
    Trace("GetSettingPtr(" + std::to_string(index) + ")");
    HostState& host = Host();
    if (index == 1)
        return host.Style;
    if (index >= 12 && index <= 14)
        return &host.Settings[index];
    return host.Unknown;
}

int __cdecl MakeGradient(HDC dc, int left, int top, int right, int bottom, int type, int colourFrom,
                         int colourTo, int interlaced, int bevel, int bevelWidth, int shade,
                         int borderColour, int borderWidth) {
    const int values[] = {left,       top,   right,      bottom, type,         colourFrom, colourTo,
                          interlaced, bevel, bevelWidth, shade,  borderColour, borderWidth};
    std::string line = "MakeGradient(" + HexOf(dc);
    for (int value : values)
        line += ", " + std::to_string(value);
    Trace(line + ")");
    const int width = right - left, height = bottom - top;
    Gradient gradient;
    gradient.Type = type;
    gradient.ColourFrom = static_cast<uint32_t>(colourFrom);
    gradient.ColourTo = static_cast<uint32_t>(colourTo);
    gradient.Interlaced = interlaced != 0;
    gradient.Bevel = bevel;
    gradient.BevelWidth = bevelWidth;
    gradient.Shade = shade;
    gradient.BorderColour = static_cast<uint32_t>(borderColour);
    gradient.BorderWidth = borderWidth;
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384)
        return 0;
    const std::vector<uint32_t> pixels = RenderGradient(gradient, width, height);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, left, top, width, height, 0, 0, 0, height, pixels.data(), &info,
                      DIB_RGB_COLORS);
    return 1;
}

void* __cdecl MakeNamedMenu(const char* title, const char* identifier, int popup) {
    const std::string id = identifier != nullptr ? identifier : "";
    auto& slot = Host().Menus[id];
    if (!slot)
        slot = std::make_unique<HostMenu>();
    slot->Title = title != nullptr ? title : "";
    slot->Identifier = id;
    slot->Entries.clear();
    Trace("MakeNamedMenu(" + Quoted(title) + ", " + Quoted(identifier) + ", " +
          std::to_string(popup) + ") -> " + id);
    return slot.get();
}

int __cdecl MakeMenuItem(void* menu, const char* title, const char* command, int checked) {
    Trace("MakeMenuItem(" + MenuName(menu) + ", " + Quoted(title) + ", " + Quoted(command) + ", " +
          std::to_string(checked) + ")");
    HostMenu* known = KnownMenu(menu);
    if (known == nullptr)
        return 0;
    // A one-byte flag in a 32-bit argument: only the low byte counts.
    known->Entries.push_back(
        {title != nullptr ? title : "", command != nullptr ? command : "", (checked & 0xFF) != 0});
    return 1;
}

int __cdecl MakeSubmenu(void* parent, void* child, const char* title) {
    Trace("MakeSubmenu(" + MenuName(parent) + ", " + MenuName(child) + ", " + Quoted(title) + ")");
    HostMenu* known = KnownMenu(parent);
    HostMenu* sub = KnownMenu(child);
    if (known == nullptr || sub == nullptr)
        return 0;
    known->Entries.push_back({title != nullptr ? title : "", "", false, sub});
    return 1;
}

int __cdecl ShowMenu(void* menu) {
    Trace("ShowMenu(" + MenuName(menu) + ")");
    if (KnownMenu(menu) == nullptr)
        return 0;
    PostMessageA(Host().MainWindow, HOST_SHOW_MENU, 0, reinterpret_cast<LPARAM>(menu));
    return 1;
}

// ---- the host itself --------------------------------------------------------------------

HWND CreateHostWindow(HINSTANCE instance, const HostOptions& options) {
    HostState& host = Host();
    host.Options = options;
    if (!options.TracePath.empty() && TraceFile == nullptr)
        TraceFile = std::fopen(options.TracePath.c_str(), "a");
    ApplyHostStyle(0);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = HostWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = "KestruneHost";
    RegisterClassA(&windowClass);
    host.MainWindow = CreateWindowExA(0, "KestruneHost", "Kestrune reference host",
                                      WS_OVERLAPPEDWINDOW, 700, 60, 380, 140, nullptr,
                                      options.Visible ? HostMenuBar() : nullptr, instance, nullptr);
    if (options.Visible)
        ShowWindow(host.MainWindow, SW_SHOWNOACTIVATE);
    return host.MainWindow;
}

void SetHostClosingHandler(void (*handler)()) {
    Host().Closing = handler;
}

void SetHostStatus(const std::string& text) {
    Host().Status = text;
    InvalidateRect(Host().MainWindow, nullptr, TRUE);
}

Gradient CurrentHostGradient() {
    const auto* style = static_cast<const unsigned char*>(GetSettingPtr(1));
    const auto field = [&](size_t offset) {
        int32_t value;
        memcpy(&value, style + offset, sizeof value);
        return value;
    };
    Gradient gradient;
    gradient.Type = field(StyleRecord::Type);
    gradient.ColourFrom = static_cast<uint32_t>(field(StyleRecord::ColourFrom));
    gradient.ColourTo = static_cast<uint32_t>(field(StyleRecord::ColourTo));
    gradient.Interlaced = style[StyleRecord::Interlaced] != 0;
    gradient.Bevel = field(StyleRecord::Bevel);
    gradient.BevelWidth = field(StyleRecord::BevelWidth);
    gradient.Shade = *static_cast<const int32_t*>(GetSettingPtr(SettingShade));
    gradient.BorderColour =
        static_cast<uint32_t>(*static_cast<const int32_t*>(GetSettingPtr(SettingBorderColour)));
    gradient.BorderWidth = *static_cast<const int32_t*>(GetSettingPtr(SettingBorderWidth));
    return gradient;
}

int HostStylePresetCount() {
    return 3;
}

void ApplyHostStyle(int preset) {
    struct Preset {
        int32_t Type, From, To, Bevel, BevelWidth, Interlaced, Shade, BorderWidth, BorderColour;
    };
    static const Preset presets[] = {
        {1, 0x00B48246, 0x00602008, 0, 0, 0, 0, 0, 0},          // blue, top to bottom
        {2, 0x003080F0, 0x00602080, 0, 0, 1, 40, 0, 0},         // sunset, interlaced
        {0, 0x00908070, 0x00403830, 1, 3, 0, 0, 1, 0x00202020}, // slate, raised, framed
    };
    const Preset& p = presets[preset >= 0 && preset < 3 ? preset : 0];
    HostState& host = Host();
    std::memset(host.Style, 0, sizeof host.Style);
    PutField(p.Bevel, StyleRecord::Bevel);
    PutField(p.BevelWidth, StyleRecord::BevelWidth);
    PutField(p.Type, StyleRecord::Type);
    host.Style[StyleRecord::Interlaced] = static_cast<unsigned char>(p.Interlaced);
    PutField(p.To, StyleRecord::ColourTo);
    PutField(p.From, StyleRecord::ColourFrom);
    host.Settings[SettingBorderWidth] = p.BorderWidth;
    host.Settings[SettingBorderColour] = p.BorderColour;
    host.Settings[SettingShade] = p.Shade;
    for (const Registration& known : host.Registrations)
        InvalidateRect(known.Window, nullptr, FALSE);
}

bool RunHostCommand(const std::string& command) {
    if (!command.empty() && command[0] == '@') {
        // Copied first: a receiver may rebuild the menus that held the text.
        const std::string text = command;
        const std::vector<Registration> receivers = HostRegistrations();
        for (const Registration& known : receivers)
            for (uint32_t message : known.Messages)
                if (message == HOST_BROADCAST) {
                    Trace("broadcast 10901 " + Quoted(text.c_str()) + " -> " + HexOf(known.Window));
                    SendMessageA(known.Window, HOST_BROADCAST, 0,
                                 reinterpret_cast<LPARAM>(text.c_str()));
                }
        return true;
    }
    Trace("run " + Quoted(command.c_str()));
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    // No shell: the text is a program and its arguments, nothing more.
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        const DWORD error = GetLastError();
        Trace("run failed " + std::to_string(error));
        if (Host().Options.ReportErrors) {
            const std::string text =
                "Cannot run this command (error " + std::to_string(error) + "):\n" + command;
            MessageBoxA(Host().MainWindow, text.c_str(), "Kestrune", MB_OK | MB_ICONWARNING);
        }
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

std::vector<Registration> HostRegistrations() {
    return Host().Registrations;
}
std::vector<HWND> HostStickyWindows() {
    return Host().Sticky;
}

std::vector<std::string> HostTrace() {
    std::lock_guard<std::mutex> guard(TraceLock);
    return TraceLines;
}

void SetHostTracing(bool on) {
    std::lock_guard<std::mutex> guard(TraceLock);
    Tracing = on;
}

void ClearHostTrace() {
    std::lock_guard<std::mutex> guard(TraceLock);
    TraceLines.clear();
}

HostPlugin LoadHostPlugin(const std::string& path) {
    HostPlugin plugin;
    plugin.Module = LoadLibraryA(path.c_str());
    if (plugin.Module == nullptr)
        return plugin;
    // GetProcAddress returns a generic FARPROC; the exports' real types are known here.
    plugin.Begin = reinterpret_cast<int(__cdecl*)(HINSTANCE)>(
        reinterpret_cast<void*>(GetProcAddress(plugin.Module, "beginPlugin")));
    plugin.End = reinterpret_cast<int(__cdecl*)(HINSTANCE)>(
        reinterpret_cast<void*>(GetProcAddress(plugin.Module, "endPlugin")));
    plugin.Info = reinterpret_cast<const char*(__cdecl*)(uint32_t)>(
        reinterpret_cast<void*>(GetProcAddress(plugin.Module, "pluginInfo")));
    return plugin;
}

void FreeHostPlugin(HostPlugin& plugin) {
    if (plugin.Module != nullptr)
        FreeLibrary(plugin.Module);
    plugin = HostPlugin();
}
