/*
 * The host side of the plugin boundary: the library's entry point with its start-up check,
 * the registration message and the plugin's folder. See kq_sdk.h.
 */
#include "kq_sdk.h"

#include "PathName.h"

#include <cstring>

HINSTANCE PluginInstance = nullptr;

namespace {

// The host keeps a pointer to this list, so it must outlive every registration.
const uint32_t HostMessages[] = {KQ_HOST_NOTIFY, KQ_BROADCAST, 0};

// Everything the library imports from the host is delay-loaded, so this check runs first and
// a library dropped into the wrong program says so instead of failing with a bare loader error.
bool HostIsLoadable() {
    HMODULE host = LoadLibraryA("Kestrune.exe");
    if (host == nullptr) {
        MessageBoxA(nullptr, "Kestrune.exe", "BUG: can't load", MB_OK);
        return false;
    }
    FreeLibrary(host);
    return true;
}

} // namespace

void RegisterWithHost(HWND window) {
    SendMessageA(GetKQWnd(), KQ_REGISTER_MESSAGES, reinterpret_cast<WPARAM>(window),
                 reinterpret_cast<LPARAM>(HostMessages));
}

std::string PluginDirectory() {
    char name[261] = {};
    GetModuleFileNameA(PluginInstance, name, sizeof name);
    // Older systems leave the buffer unterminated when the name fills it.
    const std::string_view fileName(name, strnlen(name, sizeof name));
    return FolderOf(fileName, [](unsigned char c) { return IsDBCSLeadByte(c) != FALSE; });
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        PluginInstance = instance;
        return HostIsLoadable() ? TRUE : FALSE;
    }
    return TRUE;
}
