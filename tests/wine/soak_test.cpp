/*
 * Long runs of the real DLL in one process: many pupil updates, paints and moves, and many
 * starts and stops. Whatever the process holds must be the same before and after. Figures
 * are printed for the record; nothing here is timed.
 */
#include "plugin_fixture.h"
#include "resources.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>

namespace {

constexpr int kTicks = 100000;
constexpr int kPaints = 10000;
constexpr int kMoves = 1000;
constexpr int kCycles = 1000;

void Report(const char* what, const Resources& before, const Resources& after) {
    std::printf("%s\n  before: %s\n  after:  %s\n", what, before.Text().c_str(),
                after.Text().c_str());
    std::fflush(stdout);
}

void ExpectSame(const Resources& before, const Resources& after) {
    EXPECT_EQ(after.GdiObjects, before.GdiObjects);
    EXPECT_EQ(after.Windows, before.Windows);
    EXPECT_EQ(after.LowestFreeHandle, before.LowestFreeHandle);
    // The heap is compared exactly: a leak of one string per run would show thousandfold.
    EXPECT_EQ(after.HeapBytes, before.HeapBytes);
}

void Work(HWND window, int ticks, int paints, int moves) {
    for (int i = 0; i < ticks; ++i) {
        if (i % 1000 == 0)
            SetCursorPos(100 + (i / 1000) % 700, 100 + (i / 7000) * 50);
        SendMessageA(window, WM_TIMER, 0, 0);
    }
    for (int i = 0; i < paints; ++i) {
        InvalidateRect(window, nullptr, FALSE);
        UpdateWindow(window);
    }
    for (int i = 0; i < moves; ++i)
        SetWindowPos(window, nullptr, 100 + i % 500, 100 + i % 300, 0, 0,
                     SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
}

HostPlugin* StopperPlugin = nullptr;

LRESULT CALLBACK StopperProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP)
        return StopperPlugin->End(StopperPlugin->Module);
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

TEST_F(PluginTest, SoakOfUpdatesPaintsAndMovesHoldsNothingMore) {
    SetHostTracing(false); // the trace would grow with every service call
    Start();
    KillTimer(Window, 0);        // the updates are driven here, as fast as they go
    Work(Window, 1000, 100, 10); // warm up caches that are filled once
    const Resources before = CountResources();
    Work(Window, kTicks, kPaints, kMoves);
    Pump(50);
    const Resources after = CountResources();
    std::printf("soak: %d pupil updates, %d paints, %d moves\n", kTicks, kPaints, kMoves);
    Report("soak", before, after);
    ExpectSame(before, after);
    // And it still draws what it should.
    MoveCursorToClient(300, 106);
    SendMessageA(Window, WM_TIMER, 0, 0);
    const TEyeLayout layout = LayoutEyes(210, 210, 20, 3);
    EXPECT_EQ(BlackPixelBounds(Capture(), layout.LeftWhite), (TRect{54, 90, 70, 122}));
    SetHostTracing(true);
}

TEST_F(PluginTest, AThousandStartsAndStopsInOneProcess) {
    SetHostTracing(false);
    Start();
    for (int i = 0; i < 3; ++i) { // warm up
        ASSERT_NE(Plugin.End(Plugin.Module), 0);
        ASSERT_EQ(Plugin.Begin(Plugin.Module), 0);
    }
    ASSERT_NE(Plugin.End(Plugin.Module), 0);
    Pump(20);
    const Resources before = CountResources();
    int failures = 0;
    for (int i = 0; i < kCycles; ++i) {
        if (Plugin.Begin(Plugin.Module) != 0)
            ++failures;
        if (FindPluginWindow() == nullptr)
            ++failures;
        if (Plugin.End(Plugin.Module) == 0)
            ++failures;
    }
    Pump(20);
    const Resources after = CountResources();
    std::printf("lifecycle: %d beginPlugin/endPlugin cycles, %d failures\n", kCycles, failures);
    Report("lifecycle", before, after);
    EXPECT_EQ(failures, 0);
    ExpectSame(before, after);
    EXPECT_EQ(Plugin.End(Plugin.Module), 0) << "a second stop in a row";
    ASSERT_EQ(Plugin.Begin(Plugin.Module), 0);
    Window = FindPluginWindow();
    SetHostTracing(true);
}

TEST_F(PluginTest, StoppingWhileTheAboutBoxIsOpen) {
    Start();
    // A window of the test's own, served by the box's message loop, stops the plugin from
    // inside it, as a host quitting at that moment would.
    StopperPlugin = &Plugin;
    WNDCLASSA cls = {};
    cls.lpszClassName = "SoakStopper";
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpfnWndProc = StopperProc;
    RegisterClassA(&cls);
    HWND stopper = CreateWindowA("SoakStopper", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 cls.hInstance, nullptr);
    const HWND eyes = Window;
    std::atomic<bool> stopped{false}, closed{false};
    std::thread user([&] {
        HWND box = WaitForWindow("#32770", "About tovim", 5000);
        if (box == nullptr)
            return;
        stopped = SendMessageA(stopper, WM_APP, 0, 0) != 0;
        Sleep(200);
        SendMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        closed = true;
    });
    SendHostCommand(eyes, "@about");
    user.join();
    EXPECT_TRUE(stopped) << "endPlugin unregistered the class while the box was open";
    EXPECT_TRUE(closed);
    EXPECT_FALSE(IsWindow(eyes));
    EXPECT_TRUE(IniExists());
    DestroyWindow(stopper);
    FreeHostPlugin(Plugin);
}
