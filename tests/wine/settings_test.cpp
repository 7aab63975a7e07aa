/*
 * kqtovim.ini as the real plugin reads and writes it through Windows' profile service:
 * defaults, number forms, hand-set keys, saves on every move, and files that fight back.
 */
#include "plugin_fixture.h"

#include <random>
#include <thread>

namespace {
bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}
} // namespace

TEST_F(PluginTest, WithoutAFileTheDefaultsApplyAndThreeKeysAreWritten) {
    ASSERT_FALSE(IniExists());
    Start();
    const RECT r = WindowRect();
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 10);
    EXPECT_EQ(r.right - r.left, 210);
    EXPECT_EQ(r.bottom - r.top, 210);
    EXPECT_TRUE(IsTopmost());
    EXPECT_EQ(ReadIni(), "[kqTovim]\r\nLeft=10\r\nTop=10\r\nOnTop=1\r\n");
}

TEST_F(PluginTest, HexadecimalPositionsAreReadAndWrittenBackInDecimal) {
    WriteIni("[kqTovim]\r\nLeft=0x64\r\nTop=$32\r\n");
    Start();
    EXPECT_EQ(WindowRect().left, 100);
    EXPECT_EQ(WindowRect().top, 50);
    MoveWindowTo(300, 200);
    const std::string ini = ReadIni();
    EXPECT_TRUE(Contains(ini, "Left=300\r\n")) << ini;
    EXPECT_TRUE(Contains(ini, "Top=200\r\n")) << ini;
    EXPECT_FALSE(Contains(ini, "0x")) << ini;
}

TEST_F(PluginTest, NegativePositionsRoundTrip) {
    WriteIni("[kqTovim]\r\nLeft=-300\r\nTop=-50\r\n");
    Start();
    EXPECT_EQ(WindowRect().left, -300);
    EXPECT_EQ(WindowRect().top, -50);
    MoveWindowTo(-150, 400);
    EXPECT_TRUE(Contains(ReadIni(), "Left=-150\r\n")) << ReadIni();
    Stop();
    Start();
    EXPECT_EQ(WindowRect().left, -150);
    EXPECT_EQ(WindowRect().top, 400);
}

TEST_F(PluginTest, OnTopZeroStartsNotTopmostAndAWordKeepsTheDefault) {
    WriteIni("[kqTovim]\r\nOnTop=0\r\n");
    Start();
    EXPECT_FALSE(IsTopmost());
    EXPECT_TRUE(Contains(ReadIni(), "OnTop=0\r\n"));
    Stop();
    WriteIni("[kqTovim]\r\nOnTop=false\r\n");
    Start();
    EXPECT_TRUE(IsTopmost()) << "\"false\" is no integer, so the default (on) holds";
    EXPECT_TRUE(Contains(ReadIni(), "OnTop=1\r\n"));
}

TEST_F(PluginTest, HandSetKeysTakeEffectAndSurviveEverySave) {
    WriteIni("[kqTovim]\r\nWidth=300\r\nHeight=0x78\r\n");
    Start();
    EXPECT_EQ(WindowRect().right - WindowRect().left, 300);
    EXPECT_EQ(WindowRect().bottom - WindowRect().top, 120);
    for (int i = 0; i < 5; ++i)
        MoveWindowTo(100 + 40 * i, 300);
    SendHostCommand(Window, "@AlwaysOnTop");
    Stop();
    const std::string ini = ReadIni();
    EXPECT_TRUE(Contains(ini, "Width=300\r\n")) << ini;
    EXPECT_TRUE(Contains(ini, "Height=0x78\r\n")) << ini;
    EXPECT_TRUE(Contains(ini, "Left=260\r\n")) << ini;
    Start();
    EXPECT_EQ(WindowRect().right - WindowRect().left, 300);
    EXPECT_FALSE(IsTopmost()) << "the switch flipped last time applies at this start";
}

TEST_F(PluginTest, SectionAndKeysMatchInAnyCase) {
    WriteIni("[KQTOVIM]\r\nleft=50\r\nTOP=60\r\nwIdTh=150\r\n");
    Start();
    EXPECT_EQ(WindowRect().left, 50);
    EXPECT_EQ(WindowRect().top, 60);
    EXPECT_EQ(WindowRect().right - WindowRect().left, 150);
}

TEST_F(PluginTest, EveryMoveRewritesThePosition) {
    Start();
    for (int i = 1; i <= 8; ++i) {
        MoveWindowTo(50 + 30 * i, 500 - 20 * i);
        const std::string ini = ReadIni();
        EXPECT_TRUE(Contains(ini, "Left=" + std::to_string(50 + 30 * i) + "\r\n")) << ini;
        EXPECT_TRUE(Contains(ini, "Top=" + std::to_string(500 - 20 * i) + "\r\n")) << ini;
    }
    // A z-order change saves too, with the position unchanged.
    DeleteFileA(IniPath.c_str());
    SetWindowPos(Window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_TRUE(Contains(ReadIni(), "Left=290\r\nTop=340\r\n")) << ReadIni();
}

TEST_F(PluginTest, ARealDragMovesTheWindowSnapsItAndSavesEachStep) {
    Start();
    MoveWindowTo(300, 300);
    ClearHostTrace();
    const POINT origin = ClientOrigin();
    // The system's move loop runs on this thread, so the mouse is driven from another.
    std::thread mouse([origin] {
        SetCursorPos(origin.x + 100, origin.y + 100);
        Sleep(100);
        mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
        Sleep(100);
        for (int step = 1; step <= 10; ++step) {
            SetCursorPos(origin.x + 100 - 29 * step, origin.y + 100 + 10 * step);
            mouse_event(MOUSEEVENTF_MOVE, 0, 0, 0, 0);
            Sleep(40);
        }
        mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    });
    Pump(1200);
    mouse.join();
    Pump(100);
    // 300 - 290 = 10 from the left edge: the host snaps it onto the edge.
    EXPECT_EQ(WindowRect().left, 0);
    EXPECT_EQ(WindowRect().top, 400);
    EXPECT_GE(TraceLinesStarting("SnapWindowToEdge").size(), 3u);
    EXPECT_TRUE(Contains(ReadIni(), "Left=0\r\nTop=400\r\n")) << ReadIni();
}

TEST_F(PluginTest, EyeDistanceBorderAndSizeComeFromTheFile) {
    WriteIni("[kqTovim]\r\nWidth=300\r\nHeight=200\r\nEyeDistance=-7\r\nBorder=5\r\n");
    Start();
    MoveCursorToClient(600, 101);
    LetTicksPass();
    const Image image = Capture();
    ASSERT_EQ(image.Width, 300);
    ASSERT_EQ(image.Height, 200);
    const TEyeLayout layout = LayoutEyes(300, 200, -7, 5);
    const TEyeGeometry g = GeometryOf(layout);
    // Eyes (1,1,102,200) and (202,1,299,200), rims five pixels wide.
    for (int x : {1, 5, 97, 101, 202, 206, 294, 298})
        EXPECT_EQ(image.At(x, 100), kBlack) << x;
    for (int x : {7, 95, 208, 215})
        EXPECT_EQ(image.At(x, 100), kWhite) << x;
    const TRect pupil = PupilRect(g.RightCenterX, g.RightCenterY, g, 600, 101);
    EXPECT_EQ(pupil.Left, 251 + 21 - 8);
    EXPECT_EQ(image.At(pupil.Left, 101), kBlack);
    EXPECT_EQ(image.At(pupil.Left - 1, 101), kWhite);
    EXPECT_EQ(image.At(pupil.Right - 1, 101), kBlack);
    EXPECT_EQ(image.At(pupil.Right, 101), kWhite);
}

TEST_F(PluginTest, ABorderBeyondHalfAnEyeDrawsNoWhiteAtAll) {
    WriteIni("[kqTovim]\r\nBorder=200\r\n");
    Start();
    KillTimer(Window, 0);
    const Image image = Capture();
    // Inverted white rectangles are skipped, not drawn with their edges swapped.
    for (POINT p : {POINT{8, 106}, POINT{42, 20}, POINT{42, 200}, POINT{135, 106}, POINT{200, 106}})
        EXPECT_EQ(image.At(p.x, p.y), kBlack) << p.x << "," << p.y;
}

TEST_F(PluginTest, AFolderWithBlanksWorks) {
    UseFolder("A folder with blanks");
    Start();
    EXPECT_EQ(ReadIni(), "[kqTovim]\r\nLeft=10\r\nTop=10\r\nOnTop=1\r\n");
}

TEST_F(PluginTest, AFileThatCannotBeWrittenLosesTheSaveAndTheNextOneTriesAgain) {
    WriteIni("[kqTovim]\r\nLeft=50\r\nTop=60\r\n");
    Start();
    EXPECT_EQ(WindowRect().left, 50);
    const std::string before = ReadIni();
    // Tests run as root, for whom a read-only attribute stops nothing; a lock does.
    HANDLE lock = CreateFileA(IniPath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    MoveWindowTo(200, 300);
    SendHostCommand(Window, "@AlwaysOnTop");
    CloseHandle(lock);
    EXPECT_EQ(ReadIni(), before) << "the writes are lost";
    EXPECT_TRUE(IsWindow(Window));
    EXPECT_EQ(WindowRect().left, 200);
    MoveWindowTo(220, 300);
    const std::string ini = ReadIni();
    EXPECT_TRUE(Contains(ini, "Left=220\r\n")) << ini;
    EXPECT_TRUE(Contains(ini, "OnTop=0\r\n")) << "the value in memory was kept: " << ini;
}

TEST_F(PluginTest, GarbageHugeLinesAndManySectionsGiveDefaultsAndKeepTheirLines) {
    std::mt19937 random(7);
    std::string garbage(32 * 1024, ' ');
    for (char& c : garbage)
        c = static_cast<char>(1 + random() % 255); // binary, but no zero byte
    WriteIni(garbage);
    Start();
    EXPECT_EQ(WindowRect().left, 10);
    EXPECT_EQ(WindowRect().right - WindowRect().left, 210);
    EXPECT_TRUE(Contains(ReadIni(), "Left=10")) << "the save still lands";
    Stop();

    std::string big = "[kqTovim]\r\nWidth=250\r\nJunk=" + std::string(1 << 20, 'j') + "\r\n";
    for (int i = 0; i < 3000; ++i)
        big += "[s" + std::to_string(i) + "]\r\nk=" + std::to_string(i) + "\r\n";
    WriteIni(big);
    Start();
    EXPECT_EQ(WindowRect().right - WindowRect().left, 250);
    MoveWindowTo(123, 321);
    Stop();
    const std::string after = ReadIni();
    EXPECT_TRUE(Contains(after, "Left=123\r\n"));
    EXPECT_TRUE(Contains(after, "Junk=" + std::string(1 << 20, 'j') + "\r\n"));
    EXPECT_TRUE(Contains(after, "[s2999]\r\nk=2999\r\n"));
    EXPECT_TRUE(Contains(after, "[s0]\r\nk=0\r\n"));
}
