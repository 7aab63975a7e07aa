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
    Window = FindWindowA("Desktop Plugin Sample", "kqtovim");
    EXPECT_NE(Window, nullptr);
    EXPECT_NE(Window, window);
    EXPECT_NE(Plugin.End(Plugin.Module), 0);
    EXPECT_FALSE(IsWindow(Window));
}

TEST_F(PluginTest, ASecondStartWithoutAStopReportsTheClassButStillShowsAWindow) {
    Start();
    const HWND first = Window;
    EXPECT_EQ(Plugin.Begin(Plugin.Module), 1) << "the class is already registered";
    HWND second = nullptr;
    for (HWND w = FindWindowA("Desktop Plugin Sample", nullptr); w != nullptr;
         w = FindWindowExA(nullptr, w, "Desktop Plugin Sample", nullptr))
        if (w != first)
            second = w;
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
