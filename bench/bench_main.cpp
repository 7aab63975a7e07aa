/*
 * Benchmark of the real plugin in the reference host: one pupil update (a timer tick), one
 * full paint, and the floor, the platform calls a tick cannot avoid, done directly. Prints
 * figures; it is not a test and asserts nothing about speed.
 *
 *   Kestrune.exe [runs]      (named so, because the plugin binds to its host by that name)
 */
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
void Floor(HWND window) {
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
    plugin.Begin(plugin.Module);
    HWND window = FindWindowA("Desktop Plugin Sample", "kqtovim");
    KillTimer(window, 0); // ticks are driven here, one at a time
    SetCursorPos(400, 300);
    PumpBriefly();

    const auto [tick, floor] = MeasurePair(
        runs, [&] { SendMessageA(window, WM_TIMER, 0, 0); }, [&] { Floor(window); });
    std::vector<double> paints;
    for (int i = 0; i < runs; ++i)
        paints.push_back(Time([&] {
            InvalidateRect(window, nullptr, FALSE);
            UpdateWindow(window);
        }));
    const Figures paint = Summarise(paints);

    std::printf("runs per figure: %d\n", runs);
    std::printf("%-28s %10s %10s\n", "", "median us", "p99 us");
    std::printf("%-28s %10.2f %10.2f\n", "pupil update (tick)", tick.Median, tick.P99);
    std::printf("%-28s %10.2f %10.2f\n", "floor (platform calls)", floor.Median, floor.P99);
    std::printf("%-28s %10.2f %10.2f\n", "full paint (with gradient)", paint.Median, paint.P99);
    std::printf("tick/floor ratio (medians): %.3f\n", tick.Median / floor.Median);
    plugin.End(plugin.Module);
    FreeHostPlugin(plugin);
    return 0;
}
