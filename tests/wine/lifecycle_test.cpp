/*
 * Start, run and stop of the real plugin in the host: the window, its class and style, the
 * registration with the host, the hit test, close requests, edge snapping, and the exports.
 */
#include "plugin_fixture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

TEST_F(PluginTest, StartCreatesTheEyesWindowAndAnnouncesIt) {
    Start();
    EXPECT_EQ(BeginResult, 0);
    WNDCLASSEXA cls = {};
    cls.cbSize = sizeof cls;
    ASSERT_TRUE(GetClassInfoExA(Plugin.Module, "Desktop Plugin Sample", &cls));
    EXPECT_EQ(cls.style, static_cast<UINT>(CS_DBLCLKS));
    EXPECT_EQ(cls.cbWndExtra, 30);
    EXPECT_EQ(cls.cbClsExtra, 0);
    EXPECT_EQ(cls.hbrBackground, nullptr);
    EXPECT_EQ(cls.hCursor, nullptr);
    char title[64] = {};
    GetWindowTextA(Window, title, sizeof title);
    EXPECT_STREQ(title, "kqtovim");
    const LONG style = GetWindowLongA(Window, GWL_STYLE);
    const LONG wanted = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_SYSMENU;
    EXPECT_EQ(style & wanted, wanted);
    EXPECT_EQ(style & (WS_CAPTION | WS_BORDER | WS_THICKFRAME | WS_CHILD), 0);
    EXPECT_EQ(GetWindowLongA(Window, GWL_EXSTYLE) & ~WS_EX_TOPMOST, WS_EX_TOOLWINDOW);
    EXPECT_TRUE(IsTopmost());
    EXPECT_EQ(GetWindow(Window, GW_OWNER), GetKQWnd());
    EXPECT_EQ(reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(Window, GWLP_HINSTANCE)),
              Plugin.Module);
    const RECT r = WindowRect();
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 10);
    EXPECT_EQ(r.right - r.left, 210);
    EXPECT_EQ(r.bottom - r.top, 210);
    const auto registrations = HostRegistrations();
    ASSERT_EQ(registrations.size(), 1u);
    EXPECT_EQ(registrations[0].Window, Window);
    EXPECT_EQ(registrations[0].Messages, (std::vector<uint32_t>{10103, 10901}));
    EXPECT_EQ(TraceLinesStarting("message 10001").size(), 1u);
    EXPECT_EQ(HostStickyWindows(), std::vector<HWND>{Window});
    // Registration, then sticky, in that order, each once.
    const auto trace = HostTrace();
    const auto reg = std::find(trace.begin(), trace.end(),
                               "message 10001(" + HexOf(Window) + ", [10103, 10901])");
    const auto sticky = std::find(trace.begin(), trace.end(), "MakeSticky(" + HexOf(Window) + ")");
    ASSERT_NE(reg, trace.end());
    ASSERT_NE(sticky, trace.end());
    EXPECT_LT(reg, sticky);
    EXPECT_EQ(TraceLinesStarting("MakeSticky").size(), 1u);
    // The window is painted before it is announced: beginPlugin updates it at once.
    const auto paint = std::find_if(trace.begin(), trace.end(), [](const std::string& line) {
        return line.rfind("MakeGradient", 0) == 0;
    });
    EXPECT_LT(paint, reg);
    EXPECT_TRUE(KillTimer(Window, 0)) << "the tracking timer has the identifier 0";
}

TEST_F(PluginTest, EveryPointIsACaptionAndCloseRequestsAreRefused) {
    Start();
    const RECT r = WindowRect();
    const POINT points[] = {{r.left, r.top},
                            {r.right - 1, r.top},
                            {r.left, r.bottom - 1},
                            {r.right - 1, r.bottom - 1},
                            {(r.left + r.right) / 2, (r.top + r.bottom) / 2}};
    for (const POINT& p : points)
        EXPECT_EQ(SendMessageA(Window, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)), HTCAPTION)
            << p.x << "," << p.y;
    EXPECT_EQ(SendMessageA(Window, WM_CLOSE, 0, 0), 0);
    SendMessageA(Window, WM_SYSCOMMAND, SC_CLOSE, 0);
    PostMessageA(Window, WM_CLOSE, 0, 0);
    Pump(50);
    EXPECT_TRUE(IsWindow(Window));
    EXPECT_TRUE(IsWindowVisible(Window));
}

TEST_F(PluginTest, MovesGoThroughTheHostsSnapToTheScreenEdges) {
    Start();
    ClearHostTrace();
    MoveWindowTo(5, 300);
    EXPECT_EQ(WindowRect().left, 0) << "5 px from the left edge snaps onto it";
    EXPECT_EQ(WindowRect().top, 300);
    ASSERT_FALSE(TraceLinesStarting("SnapWindowToEdge").empty());
    const std::string snap = TraceLinesStarting("SnapWindowToEdge")[0];
    EXPECT_NE(snap.find(" 5,300 "), std::string::npos) << snap;
    EXPECT_NE(snap.find(", 10, 1) -> 0,300"), std::string::npos) << snap;
    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    MoveWindowTo(screenW - 210 - 7, screenH - 210 + 4);
    EXPECT_EQ(WindowRect().left, screenW - 210);
    EXPECT_EQ(WindowRect().top, screenH - 210);
    MoveWindowTo(400, 400);
    EXPECT_EQ(WindowRect().left, 400) << "far from the edges nothing snaps";
    EXPECT_EQ(WindowRect().top, 400);
}

TEST_F(PluginTest, StopTakesEverythingDownAndAStopAfterwardsFails) {
    Start();
    const HWND window = Window;
    ClearHostTrace();
    EXPECT_NE(Plugin.End(Plugin.Module), 0);
    EXPECT_FALSE(IsWindow(window));
    WNDCLASSA cls;
    EXPECT_FALSE(GetClassInfoA(Plugin.Module, "Desktop Plugin Sample", &cls));
    EXPECT_EQ(Plugin.End(Plugin.Module), 0) << "nothing left to unregister";
    EXPECT_TRUE(TraceLinesStarting("message").empty()) << "nothing is sent to the host at stop";
    // And the plugin starts again in the same process.
    EXPECT_EQ(Plugin.Begin(Plugin.Module), 0);
    Window = FindPluginWindow();
    EXPECT_NE(Window, nullptr);
    EXPECT_NE(Window, window);
    EXPECT_NE(Plugin.End(Plugin.Module), 0);
    EXPECT_FALSE(IsWindow(Window));
}

TEST_F(PluginTest, ASecondStartWithoutAStopReportsTheClassButStillShowsAWindow) {
    Start();
    const HWND first = Window;
    EXPECT_EQ(Plugin.Begin(Plugin.Module), 1) << "the class is already registered";
    const HWND second = FindPluginWindow(first);
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(IsWindowVisible(second));
    EXPECT_EQ(HostRegistrations().size(), 2u);
    EXPECT_EQ(Plugin.End(Plugin.Module), 0) << "the first window still uses the class";
    EXPECT_FALSE(IsWindow(second));
    DestroyWindow(first);
    EXPECT_NE(Plugin.End(Plugin.Module), 0);
}

TEST_F(PluginTest, PluginInfoAnswersEveryFieldEvenBeforeStart) {
    ClearHostTrace();
    Plugin = LoadHostPlugin(DllPath);
    ASSERT_TRUE(Plugin.Loaded());
    EXPECT_STREQ(Plugin.Info(1), "kqApiTovim");
    EXPECT_STREQ(Plugin.Info(2), "0.3");
    EXPECT_GT(strlen(Plugin.Info(3)), 0u);
    EXPECT_STREQ(Plugin.Info(4), "07.05.2004");
    ASSERT_NE(Plugin.Info(5), nullptr);
    EXPECT_STREQ(Plugin.Info(5), "");
    EXPECT_EQ(std::string(Plugin.Info(6)).rfind("mailto:", 0), 0u);
    for (uint32_t field : {0u, 7u, 100u, 0xFFFFFFFFu, 0x80000000u})
        EXPECT_STREQ(Plugin.Info(field), "0.3") << field;
    EXPECT_EQ(Plugin.Info(1), Plugin.Info(1)) << "static texts";
    // A stop without a start kills no timer of note and unregisters nothing.
    EXPECT_EQ(Plugin.End(Plugin.Module), 0);
    EXPECT_TRUE(TraceLinesStarting("GetKQWnd").empty()) << "neither asks anything of the host";
}

namespace watch {

// The plugin's calls of a few Windows functions, as one line each, passed on to Windows.
std::vector<std::string> Calls;
UINT_PTR(WINAPI* RealSetTimer)(HWND, UINT_PTR, UINT, TIMERPROC);
BOOL(WINAPI* RealKillTimer)(HWND, UINT_PTR);
DWORD(WINAPI* RealGetModuleFileNameA)(HMODULE, LPSTR, DWORD);
HGDIOBJ(WINAPI* RealSelectObject)(HDC, HGDIOBJ);
HDC(WINAPI* RealGetDC)(HWND);
int(WINAPI* RealReleaseDC)(HWND, HDC);
HDC(WINAPI* RealBeginPaint)(HWND, PAINTSTRUCT*);
BOOL(WINAPI* RealEndPaint)(HWND, const PAINTSTRUCT*);

std::string StockName(HGDIOBJ object) {
    const std::pair<int, const char*> names[] = {{WHITE_PEN, "white pen"},
                                                 {BLACK_PEN, "black pen"},
                                                 {WHITE_BRUSH, "white brush"},
                                                 {BLACK_BRUSH, "black brush"}};
    for (const auto& [stock, name] : names)
        if (object == GetStockObject(stock))
            return name;
    return "other";
}

UINT_PTR WINAPI SetTimer(HWND window, UINT_PTR id, UINT ms, TIMERPROC procedure) {
    Calls.push_back("SetTimer(" + std::to_string(id) + ", " + std::to_string(ms) + ", " +
                    (procedure ? "procedure" : "none") + ")");
    return RealSetTimer(window, id, ms, procedure);
}
BOOL WINAPI KillTimer(HWND window, UINT_PTR id) {
    Calls.push_back(std::string("KillTimer(") + (window ? "window" : "null") + ", " +
                    std::to_string(id) + ")");
    return RealKillTimer(window, id);
}
DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR name, DWORD size) {
    Calls.push_back("GetModuleFileNameA(" + std::to_string(size) + ")");
    return RealGetModuleFileNameA(module, name, size);
}
HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object) {
    Calls.push_back("select " + StockName(object));
    return RealSelectObject(dc, object);
}
HDC WINAPI GetDC(HWND window) {
    Calls.push_back("GetDC");
    return RealGetDC(window);
}
int WINAPI ReleaseDC(HWND window, HDC dc) {
    Calls.push_back("ReleaseDC");
    return RealReleaseDC(window, dc);
}
HDC WINAPI BeginPaint(HWND window, PAINTSTRUCT* paint) {
    Calls.push_back("BeginPaint");
    return RealBeginPaint(window, paint);
}
BOOL WINAPI EndPaint(HWND window, const PAINTSTRUCT* paint) {
    Calls.push_back("EndPaint");
    return RealEndPaint(window, paint);
}

template <class F> void Patch(HMODULE module, const char* dll, const char* name, F*& real, F* spy) {
    real = reinterpret_cast<F*>(PatchImport(module, dll, name, reinterpret_cast<void*>(spy)));
    ASSERT_NE(real, nullptr) << name;
}

} // namespace watch

TEST_F(PluginTest, WindowsIsCalledWithTheExactArgumentsAndEveryDCGoesBack) {
    Load();
    watch::Patch(Plugin.Module, "user32.dll", "SetTimer", watch::RealSetTimer, watch::SetTimer);
    watch::Patch(Plugin.Module, "user32.dll", "KillTimer", watch::RealKillTimer, watch::KillTimer);
    watch::Patch(Plugin.Module, "kernel32.dll", "GetModuleFileNameA", watch::RealGetModuleFileNameA,
                 watch::GetModuleFileNameA);
    watch::Patch(Plugin.Module, "gdi32.dll", "SelectObject", watch::RealSelectObject,
                 watch::SelectObject);
    watch::Patch(Plugin.Module, "user32.dll", "GetDC", watch::RealGetDC, watch::GetDC);
    watch::Patch(Plugin.Module, "user32.dll", "ReleaseDC", watch::RealReleaseDC, watch::ReleaseDC);
    watch::Patch(Plugin.Module, "user32.dll", "BeginPaint", watch::RealBeginPaint,
                 watch::BeginPaint);
    watch::Patch(Plugin.Module, "user32.dll", "EndPaint", watch::RealEndPaint, watch::EndPaint);
    watch::Calls.clear();
    Begin();
    EXPECT_EQ(LinesStarting(watch::Calls, "SetTimer"),
              std::vector<std::string>{"SetTimer(0, 100, none)"});
    // The module's file name is asked for with a buffer of 261 characters.
    EXPECT_EQ(LinesStarting(watch::Calls, "GetModuleFileNameA")[0], "GetModuleFileNameA(261)");
    KillTimer(Window, 0);
    MoveCursorToClient(400, 100);
    SendMessageA(Window, WM_TIMER, 0, 0); // one pupil update, with old pupils to erase
    watch::Calls.clear();
    SendMessageA(Window, WM_TIMER, 0, 0);
    // Old pupils: white pen, then white brush; new ones: black brush, then black pen. Each
    // pair is put back (to a fresh DC's own black pen and white brush) when it is done with.
    EXPECT_EQ(watch::Calls,
              (std::vector<std::string>{"GetDC", "select white pen", "select white brush",
                                        "select white brush", "select black pen",
                                        "select black brush", "select black pen",
                                        "select black pen", "select white brush", "ReleaseDC"}));
    // A paint: one paint context, and two window DCs, each released.
    watch::Calls.clear();
    InvalidateRect(Window, nullptr, FALSE);
    UpdateWindow(Window);
    const auto without = [](std::vector<std::string> calls) {
        calls.erase(std::remove_if(calls.begin(), calls.end(),
                                   [](const std::string& c) { return c.rfind("select", 0) == 0; }),
                    calls.end());
        return calls;
    };
    EXPECT_EQ(without(watch::Calls), (std::vector<std::string>{"BeginPaint", "GetDC", "ReleaseDC",
                                                               "GetDC", "ReleaseDC", "EndPaint"}));
    // A stop kills timer 0 of the window, and tries even when there is no window any more.
    watch::Calls.clear();
    Plugin.End(Plugin.Module);
    Plugin.End(Plugin.Module);
    EXPECT_EQ(LinesStarting(watch::Calls, "KillTimer"),
              (std::vector<std::string>{"KillTimer(window, 0)", "KillTimer(null, 0)"}));
}

// The suite also runs with Wine posing as Windows XP; this proves which one it ran on.
TEST(Platform, RunsOnTheWindowsVersionAskedFor) {
    const char* wanted = std::getenv("KQ_EXPECT_WINDOWS");
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    std::printf("running on Windows %lu.%lu\n", version.dwMajorVersion, version.dwMinorVersion);
    if (wanted == nullptr)
        GTEST_SKIP() << "no version asked for";
    EXPECT_EQ(std::to_string(version.dwMajorVersion) + "." + std::to_string(version.dwMinorVersion),
              wanted);
}
