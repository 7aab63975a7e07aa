/*
 * Benchmark of the real plugin in the reference host: one pupil update (a timer tick) and one
 * full paint, each against its floor, the platform and host calls it cannot avoid, done
 * directly with nothing around them. Prints figures; it is not a test and asserts nothing
 * about speed.
 *
 *   Kestrune.exe [runs]      (named so, because the plugin binds to its host by that name)
 */
#include "EyeMath.h"
#include "GdiScope.h"
#include "HostServices.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

double Microseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    return 1e6 * static_cast<double>(to.QuadPart - from.QuadPart) / frequency.QuadPart;
}

struct Figures {
    double Median, P99;
};

Figures Summarise(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times[times.size() * 99 / 100]};
}

template <class Work> double Time(Work work) {
    LARGE_INTEGER a, b;
    QueryPerformanceCounter(&a);
    work();
    QueryPerformanceCounter(&b);
    return Microseconds(a, b);
}

// Runs the two kinds of work alternately, so that drift of a noisy machine hits both alike.
template <class A, class B> std::pair<Figures, Figures> MeasurePair(int runs, A a, B b) {
    std::vector<double> first, second;
    for (int i = 0; i < runs; ++i) {
        first.push_back(Time(a));
        second.push_back(Time(b));
    }
    return {Summarise(first), Summarise(second)};
}

// What a tick must do at the least: the same platform calls, with nothing around them.
void TickFloor(HWND window) {
    POINT cursor;
    GetCursorPos(&cursor);
    HDC dc = GetDC(window);
    POINT origin;
    GetDCOrgEx(dc, &origin);
    HGDIOBJ pen = SelectObject(dc, GetStockObject(WHITE_PEN));
    HGDIOBJ brush = SelectObject(dc, GetStockObject(WHITE_BRUSH));
    Ellipse(dc, 54, 90, 70, 122);
    Ellipse(dc, 181, 90, 197, 122);
    SelectObject(dc, GetStockObject(BLACK_PEN));
    SelectObject(dc, GetStockObject(BLACK_BRUSH));
    Ellipse(dc, 54, 90, 70, 122);
    Ellipse(dc, 181, 90, 197, 122);
    SelectObject(dc, pen);
    SelectObject(dc, brush);
    ReleaseDC(window, dc);
}

void DrawEllipses(HDC dc, int firstStock, int secondStock, const TRect& a, const TRect& b) {
    SolidColour colour(dc, firstStock, secondStock);
    Ellipse(dc, a.Left, a.Top, a.Right, a.Bottom);
    Ellipse(dc, b.Left, b.Top, b.Right, b.Bottom);
}

// What a paint must do at the least: the host's gradient into the paint context, the four
// eyeball ellipses through a window DC, then a pupil update's calls, and after EndPaint the
// default procedure's own handling of the paint, to which every message is passed on.
void PaintFloor(HWND window, const Gradient& g, const TEyeLayout& layout) {
    PAINTSTRUCT paint;
    HDC paintDC = BeginPaint(window, &paint);
    MakeGradient(paintDC, 0, 0, 210, 210, g.Type, static_cast<int>(g.ColourFrom),
                 static_cast<int>(g.ColourTo), g.Interlaced ? -1 : 0, g.Bevel, g.BevelWidth,
                 g.Shade, static_cast<int>(g.BorderColour), g.BorderWidth);
    {
        WindowDC dc(window);
        DrawEllipses(dc, BLACK_PEN, BLACK_BRUSH, layout.LeftEye, layout.RightEye);
        DrawEllipses(dc, WHITE_PEN, WHITE_BRUSH, layout.LeftWhite, layout.RightWhite);
    }
    TickFloor(window);
    EndPaint(window, &paint);
    DefWindowProcA(window, WM_PAINT, 0, 0);
}

void PumpBriefly() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(100, std::atoi(argv[1])) : 10000;
    HostOptions options;
    options.Visible = false;
    options.ReportErrors = false;
    CreateHostWindow(GetModuleHandleA(nullptr), options);
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    std::string folder(exe);
    folder.resize(folder.find_last_of('\\') + 1);
    HostPlugin plugin = LoadHostPlugin(folder + "kqtovim.dll");
    if (!plugin.Loaded()) {
        std::fprintf(stderr, "cannot load kqtovim.dll beside the benchmark\n");
        return 1;
    }
    SetHostTracing(false); // the test trace would weigh on the host calls
    plugin.Begin(plugin.Module);
    HWND window = FindWindowA("Desktop Plugin Sample", "kqtovim");
    KillTimer(window, 0); // ticks are driven here, one at a time
    SetCursorPos(400, 300);
    PumpBriefly();

    const auto [tick, floor] = MeasurePair(
        runs, [&] { SendMessageA(window, WM_TIMER, 0, 0); }, [&] { TickFloor(window); });
    // The style as the plugin hands it over, read once, so the floor repeats its gradient.
    const Gradient gradient = CurrentHostGradient();
    const TEyeLayout layout = LayoutEyes(210, 210, 20, 3);
    const auto [paint, paintFloor] = MeasurePair(
        runs,
        [&] {
            InvalidateRect(window, nullptr, FALSE);
            UpdateWindow(window);
        },
        [&] {
            InvalidateRect(window, nullptr, FALSE);
            PaintFloor(window, gradient, layout);
        });

    std::printf("runs per figure: %d\n", runs);
    std::printf("%-30s %10s %10s\n", "", "median us", "p99 us");
    std::printf("%-30s %10.2f %10.2f\n", "pupil update (tick)", tick.Median, tick.P99);
    std::printf("%-30s %10.2f %10.2f\n", "  floor (its platform calls)", floor.Median, floor.P99);
    std::printf("%-30s %10.2f %10.2f\n", "full paint (with gradient)", paint.Median, paint.P99);
    std::printf("%-30s %10.2f %10.2f\n", "  floor (its platform and host calls)", paintFloor.Median,
                paintFloor.P99);
    std::printf("tick/floor ratio (medians): %.3f\n", tick.Median / floor.Median);
    std::printf("paint/floor ratio (medians): %.3f\n", paint.Median / paintFloor.Median);
    plugin.End(plugin.Module);
    FreeHostPlugin(plugin);
    return 0;
}
