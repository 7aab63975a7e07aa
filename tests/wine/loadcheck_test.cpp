/*
 * The plugin dropped into a program that is not the host: its start-up check must tell the
 * user with a message box and make the load fail, and the program must carry on. This
 * executable lives in a folder with no Kestrune.exe, so the check cannot find one.
 */
#include <gtest/gtest.h>
#include "windows_path.h"

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

namespace {

struct BoxSeen {
    bool Found = false;
    std::string Text;
    HWND Owner = nullptr;
    bool HasOk = false;
    bool HasCancel = false;
};

// Waits for the box, reads it and presses OK; gives up after timeoutMs.
void WatchForBox(BoxSeen& seen, std::atomic<bool>& running, DWORD timeoutMs) {
    running = true;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        HWND box = FindWindowA("#32770", "BUG: can't load");
        if (box != nullptr) {
            seen.Found = true;
            char text[256] = {};
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            seen.Text = text;
            seen.Owner = GetWindow(box, GW_OWNER);
            seen.HasOk = GetDlgItem(box, IDOK) != nullptr;
            seen.HasCancel =
                GetDlgItem(box, IDCANCEL) != nullptr && IsWindowVisible(GetDlgItem(box, IDCANCEL));
            SendMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
            return;
        }
        Sleep(20);
    }
}

} // namespace

TEST(StartupCheck, OutsideTheHostTheLoadFailsWithAMessageBox) {
    ASSERT_EQ(LoadLibraryA("Kestrune.exe"), nullptr) << "this test needs a folder without the host";
    BoxSeen seen;
    std::atomic<bool> running{false};
    // The box comes up under the loader lock, so the watcher must already be running.
    std::thread watcher(WatchForBox, std::ref(seen), std::ref(running), 10000);
    while (!running)
        Sleep(1);
    SetLastError(0);
    HMODULE plugin = LoadLibraryA(WindowsPath(KQ_PLUGIN_DLL).c_str());
    const DWORD error = GetLastError();
    watcher.join();
    EXPECT_EQ(plugin, nullptr);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_DLL_INIT_FAILED));
    EXPECT_TRUE(seen.Found);
    EXPECT_EQ(seen.Text, "Kestrune.exe");
    EXPECT_EQ(seen.Owner, nullptr);
    EXPECT_TRUE(seen.HasOk);
    EXPECT_FALSE(seen.HasCancel);
    // The program goes on, and can even try again.
    EXPECT_EQ(GetModuleHandleA("kqtovim.dll"), nullptr);
}
