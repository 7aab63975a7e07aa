/*
 * The reference host's own duties that the plugin relies on: command lines run without a
 * shell (a bad one reported, not fatal), and "Edit config..." opening the settings file.
 */
#include "plugin_fixture.h"

#include <atomic>
#include <thread>

namespace {

struct TitleSearch {
    std::string Part;
    HWND Found = nullptr;
};

BOOL CALLBACK MatchTitle(HWND w, LPARAM data) {
    auto* search = reinterpret_cast<TitleSearch*>(data);
    char title[256] = {};
    GetWindowTextA(w, title, sizeof title);
    if (IsWindowVisible(w) && std::string(title).find(search->Part) != std::string::npos) {
        search->Found = w;
        return FALSE;
    }
    return TRUE;
}

// A visible top-level window whose title contains part.
HWND FindWindowTitled(const std::string& part) {
    TitleSearch search{part};
    EnumWindows(MatchTitle, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

} // namespace

TEST(HostCommands, ABadCommandLineIsReportedAndAGoodOneRuns) {
    ClearHostTrace();
    EXPECT_FALSE(RunHostCommand("Z:\\no\\such\\folder\\program.exe with arguments"));
    ASSERT_EQ(TraceLinesStarting("run failed").size(), 1u);
    EXPECT_FALSE(RunHostCommand(""));
    // The program is found and started directly, with the rest as its arguments.
    EXPECT_TRUE(RunHostCommand("cmd.exe /c exit 3"));
    EXPECT_FALSE(RunHostCommand("\"unterminated quote"));
}

TEST_F(PluginTest, EditConfigOpensTheSettingsFileInNotepad) {
    UseFolder("Edit config test");
    Start();
    MoveCursorToClient(105, 105);
    ClearHostTrace();
    std::atomic<bool> chosen{false}, done{false};
    std::thread user([&] {
        chosen = ChooseInHostMenu({"Configuration", "Edit config..."});
        done = true;
    });
    SendMessageA(Window, WM_NCRBUTTONUP, HTCAPTION, 0); // the host shows its menu at the next pump
    PumpUntil(8000, [&] { return done.load(); });
    user.join();
    EXPECT_TRUE(chosen) << "the menu offered Configuration > Edit config...";
    const auto runs = TraceLinesStarting("run ");
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0], "run \"notepad " + Folder + "kqtovim.ini\"");
    EXPECT_TRUE(TraceLinesStarting("run failed").empty());
    HWND notepad = nullptr;
    PumpUntil(10000, [&] { return (notepad = FindWindowTitled("kqtovim.ini")) != nullptr; });
    ASSERT_NE(notepad, nullptr) << "Notepad shows the settings file";
    DWORD process = 0;
    GetWindowThreadProcessId(notepad, &process);
    EXPECT_NE(process, GetCurrentProcessId());
    PostMessageA(notepad, WM_CLOSE, 0, 0);
    PumpUntil(5000, [&] { return !IsWindow(notepad); });
    EXPECT_FALSE(IsWindow(notepad));
}
