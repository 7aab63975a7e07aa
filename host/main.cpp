/*
 * Kestrune.exe, the reference host: loads one plugin library, starts it, runs the message
 * loop and stops it again. Lets anyone try the plugin without the shell.
 *
 *   Kestrune.exe [--trace FILE] [--hidden] [--quiet] [--style N] [--exit-after MS] [PLUGIN.dll]
 *
 * Without a path it loads kqtovim.dll from its own folder.
 */
#include "HostServices.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct CommandLine {
    HostOptions Options;
    std::string PluginPath;
    int Style = 0;
    UINT ExitAfter = 0; // milliseconds; 0 runs until the user quits
};

HostPlugin Plugin;

void StopPlugin() {
    if (Plugin.Loaded())
        Plugin.End(Plugin.Module);
}

std::string OwnFolder() {
    char name[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, name, sizeof name);
    std::string path(name);
    return path.substr(0, path.find_last_of("\\/:") + 1);
}

CommandLine ParseCommandLine(int argc, char** argv) {
    CommandLine line;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--trace" && hasValue)
            line.Options.TracePath = argv[++i];
        else if (arg == "--hidden")
            line.Options.Visible = false;
        else if (arg == "--quiet")
            line.Options.ReportErrors = false;
        else if (arg == "--style" && hasValue)
            line.Style = std::atoi(argv[++i]);
        else if (arg == "--exit-after" && hasValue)
            line.ExitAfter = static_cast<UINT>(std::atoi(argv[++i]));
        else
            line.PluginPath = arg;
    }
    if (line.PluginPath.empty())
        line.PluginPath = OwnFolder() + "kqtovim.dll";
    return line;
}

} // namespace

int main(int argc, char** argv) {
    const CommandLine line = ParseCommandLine(argc, argv);
    HWND host = CreateHostWindow(GetModuleHandleA(nullptr), line.Options);
    ApplyHostStyle(line.Style);
    Plugin = LoadHostPlugin(line.PluginPath);
    if (!Plugin.Loaded()) {
        const std::string text = "Cannot load the plugin (error " + std::to_string(GetLastError()) +
                                 "):\n" + line.PluginPath;
        if (line.Options.ReportErrors)
            MessageBoxA(host, text.c_str(), "Kestrune", MB_OK | MB_ICONERROR);
        DestroyWindow(host);
        return 1;
    }
    SetHostStatus(std::string(Plugin.Info(1)) + " " + Plugin.Info(2));
    SetHostClosingHandler(StopPlugin); // while the plugin's owner window still exists
    Plugin.Begin(Plugin.Module);
    if (line.ExitAfter != 0)
        SetTimer(nullptr, 0, line.ExitAfter, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.hwnd == nullptr && message.message == WM_TIMER) {
            PostMessageA(host, WM_CLOSE, 0, 0);
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    FreeHostPlugin(Plugin);
    return 0;
}
