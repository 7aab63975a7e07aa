/*
 * The context menu built through the host and the commands the host sends back: the exact
 * service calls, a real right click and a real menu choice, the about box, and the switch.
 */
#include "plugin_fixture.h"

#include <atomic>
#include <thread>

namespace {

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The trace without the painting and moving that go on meanwhile.
std::vector<std::string> MenuTrace() {
    std::vector<std::string> lines;
    for (const std::string& line : HostTrace())
        if ((line.rfind("Make", 0) == 0 && line.rfind("MakeGradient", 0) != 0) ||
            line.rfind("ShowMenu", 0) == 0)
            lines.push_back(line);
    return lines;
}

std::vector<std::string> ExpectedMenuTrace(int checked, const std::string& folder) {
    return {
        "MakeNamedMenu(\"Menu\", \"Example_IDMain\", 1) -> Example_IDMain",
        "MakeNamedMenu(\"kqTovim\", \"Example_IDTools\", 1) -> Example_IDTools",
        "MakeMenuItem(Example_IDTools, \"About...\", \"@about\", 0)",
        "MakeSubmenu(Example_IDMain, Example_IDTools, \"kqTovim\")",
        "MakeNamedMenu(\"Configuration\", \"Example_IDConfig\", 1) -> Example_IDConfig",
        "MakeMenuItem(Example_IDConfig, \"Always On Top\", \"@AlwaysOnTop\", " +
            std::to_string(checked) + ")",
        "MakeMenuItem(Example_IDConfig, \"Edit config...\", \"notepad " + folder +
            "kqtovim.ini\", 0)",
        "MakeSubmenu(Example_IDMain, Example_IDConfig, \"Configuration\")",
        "ShowMenu(Example_IDMain)",
    };
}

// Drops the host's pending request to show the menu, for tests that only read the trace.
bool DiscardPendingMenu() {
    MSG message;
    return PeekMessageA(&message, GetKQWnd(), HOST_SHOW_MENU, HOST_SHOW_MENU, PM_REMOVE) != 0;
}

} // namespace

TEST_F(PluginTest, ARightButtonReleaseBuildsTheMenuThroughTheHost) {
    Start();
    ClearHostTrace();
    EXPECT_EQ(SendMessageA(Window, WM_NCRBUTTONUP, HTCAPTION, MAKELPARAM(100, 100)), 0);
    EXPECT_EQ(MenuTrace(), ExpectedMenuTrace(1, Folder));
    EXPECT_TRUE(DiscardPendingMenu()) << "the host shows it once the plugin has returned";
    SendHostCommand(Window, "@AlwaysOnTop");
    ClearHostTrace();
    SendMessageA(Window, WM_NCRBUTTONUP, HTCAPTION, MAKELPARAM(100, 100));
    EXPECT_EQ(MenuTrace(), ExpectedMenuTrace(0, Folder)) << "the check mark follows the switch";
    EXPECT_TRUE(DiscardPendingMenu());
}

TEST_F(PluginTest, TheEditCommandTakesAFolderWithBlanksUnquoted) {
    UseFolder("My Plugins Folder");
    Start();
    ClearHostTrace();
    SendMessageA(Window, WM_NCRBUTTONUP, HTCAPTION, MAKELPARAM(100, 100));
    const auto trace = MenuTrace();
    ASSERT_EQ(trace.size(), 9u);
    EXPECT_EQ(trace[6], "MakeMenuItem(Example_IDConfig, \"Edit config...\", \"notepad " + Folder +
                            "kqtovim.ini\", 0)");
    EXPECT_TRUE(Contains(trace[6], "My Plugins Folder\\kqtovim.ini"));
    DiscardPendingMenu();
}

TEST_F(PluginTest, ARealRightClickOpensTheHostMenuAndAChoiceFlipsTheSwitch) {
    Start();
    ASSERT_TRUE(Contains(ReadIni(), "OnTop=1"));
    MoveCursorToClient(105, 105);
    ClearHostTrace();
    std::atomic<bool> chosen{false}, done{false};
    // The menu's modal loop runs on this thread; the keys come from another one.
    std::thread user([&] {
        mouse_event(MOUSEEVENTF_RIGHTDOWN, 0, 0, 0, 0);
        Sleep(50);
        mouse_event(MOUSEEVENTF_RIGHTUP, 0, 0, 0, 0);
        chosen = ChooseInHostMenu({"Configuration", "Always On Top"});
        done = true;
    });
    PumpUntil(8000, [&] { return done.load(); });
    user.join();
    EXPECT_TRUE(chosen) << "the menu offered Configuration > Always On Top";
    Pump(100);
    const auto shown = TraceLinesStarting("menu shown Example_IDMain");
    ASSERT_EQ(shown.size(), 1u) << "the host showed its menu after a real right click";
    EXPECT_EQ(TraceLinesStarting("broadcast 10901 \"@AlwaysOnTop\"").size(), 1u);
    EXPECT_TRUE(Contains(ReadIni(), "OnTop=0")) << ReadIni();
    EXPECT_TRUE(IsTopmost()) << "the z-order changes only at the next start";
}

TEST_F(PluginTest, AlwaysOnTopFlipsAndEveryCommandSaves) {
    Start();
    DeleteFileA(IniPath.c_str());
    SendHostCommand(Window, "@AlwaysOnTop");
    EXPECT_TRUE(Contains(ReadIni(), "OnTop=0\r\n")) << ReadIni();
    DeleteFileA(IniPath.c_str());
    SendHostCommand(Window, "@AlwaysOnTop");
    EXPECT_TRUE(Contains(ReadIni(), "OnTop=1\r\n")) << "two flips restore it, and both save";
    EXPECT_TRUE(IsTopmost());
    SendHostCommand(Window, "@AlwaysOnTop");
    EXPECT_TRUE(IsTopmost()) << "no z-order change while running";
    SendHostCommand(Window, "@AlwaysOnTop");
    // Near misses change nothing, but still save; so does a null text.
    for (const char* text :
         {"@alwaysontop", "@AlwaysOnTop ", " @AlwaysOnTop", "@ABOUT", "@about ", "", "AlwaysOnTop",
          "@AlwaysOnTopX", static_cast<const char*>(nullptr)}) {
        DeleteFileA(IniPath.c_str());
        SendHostCommand(Window, text);
        EXPECT_EQ(ReadIni(), "[kqTovim]\r\nLeft=10\r\nTop=10\r\nOnTop=1\r\n")
            << (text ? text : "(null)");
    }
    EXPECT_EQ(SendMessageA(Window, 10103, 1, 2), 0) << "10103 reaches the default procedure";
}

TEST_F(PluginTest, TheAboutBoxShowsWhileThePupilsKeepMoving) {
    Start();
    MoveCursorToClient(400, 106);
    LetTicksPass();
    struct Seen {
        bool Found = false;
        std::string Text;
        HWND Owner = reinterpret_cast<HWND>(1);
        bool HasOk = false, HasCancel = false, HasIcon = false;
        TRect Before, After;
    } seen;
    const TEyeGeometry g = GeometryOf(LayoutEyes(210, 210, 20, 3));
    const TRect leftWhite = LayoutEyes(210, 210, 20, 3).LeftWhite;
    const auto leftPupilBounds = [&] { return BlackPixelBounds(Capture(), leftWhite); };
    std::thread user([&] {
        HWND box = WaitForWindow("#32770", "About tovim", 5000);
        if (box == nullptr)
            return;
        seen.Found = true;
        char text[512] = {};
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        seen.Text = text;
        seen.Owner = GetWindow(box, GW_OWNER);
        seen.HasOk = GetDlgItem(box, IDOK) != nullptr && IsWindowVisible(GetDlgItem(box, IDOK));
        const HWND cancel = GetDlgItem(box, IDCANCEL);
        seen.HasCancel = cancel != nullptr && IsWindowVisible(cancel);
        const HWND icon = GetDlgItem(box, 0x440); // the box's icon control
        seen.HasIcon = icon != nullptr && SendMessageA(icon, STM_GETICON, 0, 0) != 0;
        seen.Before = leftPupilBounds();
        MoveCursorToClient(-300, 106);
        Sleep(400); // ticks arrive through the box's own message loop
        seen.After = leftPupilBounds();
        SendMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    });
    DeleteFileA(IniPath.c_str());
    SendHostCommand(Window, "@about"); // returns once the box is closed
    user.join();
    ASSERT_TRUE(seen.Found);
    const std::string sep = "\n\r";
    EXPECT_EQ(seen.Text.rfind("kqTovim 0.3 pure" + sep, 0), 0u) << seen.Text;
    size_t lines = 1;
    for (size_t at = seen.Text.find(sep); at != std::string::npos; at = seen.Text.find(sep, at + 2))
        ++lines;
    EXPECT_EQ(lines, 4u) << seen.Text;
    EXPECT_NE(seen.Text.back(), '\r');
    EXPECT_NE(seen.Text.back(), '\n');
    EXPECT_EQ(seen.Owner, nullptr);
    EXPECT_TRUE(seen.HasOk);
    EXPECT_FALSE(seen.HasCancel);
    EXPECT_FALSE(seen.HasIcon);
    EXPECT_EQ(seen.Before, PupilRect(g.LeftCenterX, g.LeftCenterY, g, 400, 106));
    EXPECT_EQ(seen.After, PupilRect(g.LeftCenterX, g.LeftCenterY, g, -300, 106));
    EXPECT_TRUE(IniExists()) << "the command saved after the box closed";
}
