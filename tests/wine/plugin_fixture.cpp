/*
 * The end-to-end fixture and the test program's entry point; see plugin_fixture.h.
 */
#include "plugin_fixture.h"
#include "windows_path.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

std::string ExeFolder() {
    char name[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, name, sizeof name);
    std::string path(name);
    return path.substr(0, path.find_last_of('\\') + 1);
}

void RemoveFolder(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            SetFileAttributesA((folder + name).c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveFolder(folder + name + "\\");
            else
                DeleteFileA((folder + name).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

} // namespace

bool InsideWhite(const TRect& white, int x, int y, double margin) {
    const double cx = (white.Left + white.Right) / 2.0, cy = (white.Top + white.Bottom) / 2.0;
    const double a = (white.Right - white.Left) / 2.0 - margin;
    const double b = (white.Bottom - white.Top) / 2.0 - margin;
    const double dx = (x + 0.5 - cx) / a, dy = (y + 0.5 - cy) / b;
    return dx * dx + dy * dy <= 1.0;
}

TRect BlackPixelBounds(const Image& image, const TRect& white) {
    TRect box = {INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (int y = white.Top; y < white.Bottom; ++y)
        for (int x = white.Left; x < white.Right; ++x)
            if (InsideWhite(white, x, y, 1.5) && image.At(x, y) == kBlack) {
                box.Left = std::min(box.Left, x);
                box.Top = std::min(box.Top, y);
                box.Right = std::max(box.Right, x + 1);
                box.Bottom = std::max(box.Bottom, y + 1);
            }
    return box;
}

int CountStrayPixels(const Image& image, const TRect& white, const TRect& pupil) {
    int stray = 0;
    for (int y = white.Top; y < white.Bottom; ++y)
        for (int x = white.Left; x < white.Right; ++x) {
            const bool inPupil =
                x >= pupil.Left && x < pupil.Right && y >= pupil.Top && y < pupil.Bottom;
            if (!inPupil && InsideWhite(white, x, y, 1.5) && image.At(x, y) != kWhite)
                ++stray;
        }
    return stray;
}

void Pump(DWORD ms) {
    const DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (GetTickCount() - start < ms);
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteWholeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

std::vector<std::string> LinesStarting(const std::vector<std::string>& lines,
                                       const std::string& prefix) {
    std::vector<std::string> found;
    for (const std::string& line : lines)
        if (line.compare(0, prefix.size(), prefix) == 0)
            found.push_back(line);
    return found;
}

std::vector<std::string> TraceLinesStarting(const std::string& prefix) {
    return LinesStarting(HostTrace(), prefix);
}

namespace {

// A top-level window of this process with the class (and the title, unless null), other than
// except, or null.
HWND OwnWindow(const char* className, const char* title, HWND except) {
    for (HWND w = FindWindowExA(nullptr, nullptr, className, title); w != nullptr;
         w = FindWindowExA(nullptr, w, className, title)) {
        DWORD process = 0;
        GetWindowThreadProcessId(w, &process);
        if (w != except && process == GetCurrentProcessId())
            return w;
    }
    return nullptr;
}

} // namespace

HWND FindPluginWindow(HWND except) {
    return OwnWindow("Desktop Plugin Sample", nullptr, except);
}

HWND WaitForWindow(const char* className, const char* title, DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        HWND found = OwnWindow(className, title, nullptr);
        if (found != nullptr || GetTickCount() - start >= ms)
            return found;
        Sleep(10);
    }
}

void SendHostCommand(HWND window, const char* text) {
    SendMessageA(window, HOST_BROADCAST, 0, reinterpret_cast<LPARAM>(text));
}

void* PatchImport(HMODULE module, const char* dll, const char* function, void* replacement) {
    auto* base = reinterpret_cast<unsigned char*>(module);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const DWORD imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports);
         entry->Name != 0; ++entry) {
        if (_stricmp(reinterpret_cast<const char*>(base + entry->Name), dll) != 0)
            continue;
        auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0)
                continue;
            DWORD protection;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE,
                           &protection);
            void* original = reinterpret_cast<void*>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<decltype(slots->u1.Function)>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
            return original;
        }
    }
    return nullptr;
}

namespace {

// A visible popup menu window other than the one given, or null.
HWND OtherMenuWindow(HWND known) {
    for (HWND w = FindWindowA("#32768", nullptr); w != nullptr;
         w = FindWindowExA(nullptr, w, "#32768", nullptr))
        if (w != known && IsWindowVisible(w))
            return w;
    return nullptr;
}

HWND WaitForOtherMenuWindow(HWND known, DWORD ms) {
    HWND found = nullptr;
    for (DWORD waited = 0; found == nullptr && waited < ms; waited += 10, Sleep(10))
        found = OtherMenuWindow(known);
    return found;
}

int ItemIndex(HMENU menu, const char* title) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[128] = {};
        GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        if (std::string(text) == title)
            return i;
    }
    return -1;
}

bool Highlighted(HMENU menu, int index) {
    return (GetMenuState(menu, static_cast<UINT>(index), MF_BYPOSITION) & MF_HILITE) != 0;
}

void CloseMenus() {
    for (int i = 0; i < 4; ++i)
        if (HWND open = OtherMenuWindow(nullptr)) {
            PostMessageA(open, WM_KEYDOWN, VK_ESCAPE, 0);
            Sleep(100);
        }
}

} // namespace

bool ChooseInHostMenu(std::initializer_list<const char*> path) {
    HWND popup = WaitForOtherMenuWindow(nullptr, 3000);
    size_t level = 0;
    for (const char* title : path) {
        if (popup == nullptr)
            break;
        const auto menu = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
        const int target = ItemIndex(menu, title);
        if (target < 0)
            break;
        for (int tries = 0; tries < 20 && !Highlighted(menu, target); ++tries) {
            PostMessageA(popup, WM_KEYDOWN, VK_DOWN, 0);
            Sleep(100);
        }
        if (!Highlighted(menu, target))
            break;
        if (++level == path.size()) {
            PostMessageA(popup, WM_KEYDOWN, VK_RETURN, 0);
            return true;
        }
        PostMessageA(popup, WM_KEYDOWN, VK_RIGHT, 0);
        popup = WaitForOtherMenuWindow(popup, 2000);
    }
    CloseMenus();
    return false;
}

void PluginTest::SetUp() {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    UseFolder(std::string(info->test_suite_name()) + "." + info->name());
    ApplyHostStyle(0);
}

void PluginTest::UseFolder(const std::string& name) {
    const std::string work = ExeFolder() + "work\\";
    CreateDirectoryA(work.c_str(), nullptr);
    if (!Folder.empty())
        RemoveFolder(Folder);
    Folder = work + name + "\\";
    RemoveFolder(Folder);
    CreateDirectoryA(Folder.c_str(), nullptr);
    DllPath = Folder + "kqtovim.dll";
    IniPath = Folder + "kqtovim.ini";
    ASSERT_TRUE(CopyFileA(WindowsPath(KQ_PLUGIN_DLL).c_str(), DllPath.c_str(), FALSE))
        << "cannot copy " << KQ_PLUGIN_DLL << " to " << DllPath;
}

void PluginTest::TearDown() {
    if (Plugin.Module != nullptr)
        Stop();
    RemoveFolder(Folder);
}

bool PluginTest::IniExists() const {
    return GetFileAttributesA(IniPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void PluginTest::Start() {
    Load();
    Begin();
}

void PluginTest::Load() {
    ClearHostTrace();
    Plugin = LoadHostPlugin(DllPath);
    ASSERT_TRUE(Plugin.Loaded()) << "LoadLibrary failed: " << GetLastError();
}

void PluginTest::Begin() {
    BeginResult = Plugin.Begin(Plugin.Module);
    Window = FindPluginWindow();
    ASSERT_NE(Window, nullptr);
    Pump(30);
}

int PluginTest::Stop() {
    const int result = Plugin.End(Plugin.Module);
    FreeHostPlugin(Plugin);
    Window = nullptr;
    return result;
}

RECT PluginTest::WindowRect() const {
    RECT r = {};
    GetWindowRect(Window, &r);
    return r;
}

POINT PluginTest::ClientOrigin() const {
    POINT origin = {0, 0};
    ClientToScreen(Window, &origin);
    return origin;
}

void PluginTest::MoveCursorToClient(int x, int y) const {
    const POINT origin = ClientOrigin();
    SetCursorPos(origin.x + x, origin.y + y);
}

Image PluginTest::Capture() const {
    RECT client;
    GetClientRect(Window, &client);
    Image image;
    image.Width = client.right;
    image.Height = client.bottom;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.Width;
    info.bmiHeader.biHeight = -image.Height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC windowDC = GetDC(Window);
    HDC memoryDC = CreateCompatibleDC(windowDC);
    HBITMAP bitmap = CreateDIBSection(windowDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memoryDC, bitmap);
    BitBlt(memoryDC, 0, 0, image.Width, image.Height, windowDC, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* pixels = static_cast<const uint32_t*>(bits);
    image.Pixels.assign(pixels, pixels + image.Width * image.Height);
    for (uint32_t& p : image.Pixels)
        p &= 0x00FFFFFF;
    SelectObject(memoryDC, previous);
    DeleteObject(bitmap);
    DeleteDC(memoryDC);
    ReleaseDC(Window, windowDC);
    return image;
}

void PluginTest::MoveWindowTo(int x, int y) const {
    SetWindowPos(Window, nullptr, x, y, 0, 0, SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool PluginTest::IsTopmost() const {
    return (GetWindowLongA(Window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    HostOptions options;
    options.Visible = false;
    options.ReportErrors = false;
    CreateHostWindow(GetModuleHandleA(nullptr), options);
    return RUN_ALL_TESTS();
}
