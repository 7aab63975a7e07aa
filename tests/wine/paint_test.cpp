/*
 * What the real DLL draws, read back from the window: eyeballs, rims, pupils that follow the
 * cursor (old ones erased), the host's gradient behind them, and the gradient's arguments.
 */
#include "plugin_fixture.h"

#include <cstring>
#include <utility>

namespace {

TEyeGeometry DefaultGeometry() {
    return GeometryOf(LayoutEyes(210, 210, 20, 3));
}

uint32_t GradientAt(int x, int y, int width, int height) {
    return RenderGradient(CurrentHostGradient(), width, height)[static_cast<size_t>(y * width + x)];
}

std::string Text(const TRect& r) {
    return "(" + std::to_string(r.Left) + "," + std::to_string(r.Top) + "," +
           std::to_string(r.Right) + "," + std::to_string(r.Bottom) + ")";
}

} // namespace

TEST_F(PluginTest, PupilsFollowTheCursorAndOldOnesAreErased) {
    Start();
    const TEyeLayout layout = LayoutEyes(210, 210, 20, 3);
    struct Case {
        int X, Y;
        TRect Left, Right;
    };
    // Client coordinates; the window is at 10,10.
    const Case cases[] = {
        {300, 106, {54, 90, 70, 122}, {181, 90, 197, 122}},
        {43, 106, {35, 90, 51, 122}, {143, 90, 159, 122}},
        {50, 110, {42, 94, 58, 126}, {143, 92, 159, 124}},
        {63, 146, {43, 134, 59, 166}, {144, 107, 160, 139}},
        {43, 150, {35, 134, 51, 166}, {144, 106, 160, 138}},
        {300, 106, {54, 90, 70, 122}, {181, 90, 197, 122}}, // back again: no trail left
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "cursor " << c.X << "," << c.Y);
        MoveCursorToClient(c.X, c.Y);
        LetTicksPass();
        const Image image = Capture();
        EXPECT_EQ(Text(BlackPixelBounds(image, layout.LeftWhite)), Text(c.Left));
        EXPECT_EQ(Text(BlackPixelBounds(image, layout.RightWhite)), Text(c.Right));
        EXPECT_EQ(CountStrayPixels(image, layout.LeftWhite, c.Left), 0);
        EXPECT_EQ(CountStrayPixels(image, layout.RightWhite, c.Right), 0);
    }
}

TEST_F(PluginTest, RimsArePinnedAtBothEdgesAndTheBackgroundIsTheHostsGradient) {
    // Rows: the settings file, and the window and layout it must give. The first has no
    // Border key, so the default rim of 3 px applies.
    const struct {
        const char* Ini;
        int W, H, D, B;
    } rows[] = {
        {"", 210, 210, 20, 3},
        {"[kqTovim]\r\nBorder=3\r\n", 210, 210, 20, 3},
        {"[kqTovim]\r\nBorder=1\r\n", 210, 210, 20, 1},
        {"[kqTovim]\r\nWidth=300\r\nHeight=200\r\nEyeDistance=-7\r\nBorder=5\r\n", 300, 200, -7, 5},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "settings \"" << row.Ini << "\"");
        if (*row.Ini != '\0')
            WriteIni(row.Ini);
        Start();
        MoveCursorToClient(row.W / 2, 2 * row.H); // pupils low, clear of the middle row
        LetTicksPass();
        const Image image = Capture();
        ASSERT_EQ(image.Width, row.W);
        ASSERT_EQ(image.Height, row.H);
        const TEyeLayout layout = LayoutEyes(row.W, row.H, row.D, row.B);
        const std::vector<uint32_t> gradient = RenderGradient(CurrentHostGradient(), row.W, row.H);
        const auto background = [&](int x, int y) {
            return gradient[static_cast<size_t>(y * row.W + x)];
        };
        const int y = row.H / 2;
        for (const auto& eye : {std::make_pair(layout.LeftEye, layout.LeftWhite),
                                std::make_pair(layout.RightEye, layout.RightWhite)}) {
            const TRect& outer = eye.first;
            const TRect& white = eye.second;
            SCOPED_TRACE(testing::Message() << "eye " << Text(outer));
            // Outside, the rim's outer edge, its inner edge, the white; on both sides.
            EXPECT_EQ(image.At(outer.Left - 1, y), background(outer.Left - 1, y));
            EXPECT_EQ(image.At(outer.Left, y), kBlack);
            EXPECT_EQ(image.At(white.Left - 1, y), kBlack);
            EXPECT_EQ(image.At(white.Left, y), kWhite);
            EXPECT_EQ(image.At(white.Right - 1, y), kWhite);
            EXPECT_EQ(image.At(white.Right, y), kBlack);
            EXPECT_EQ(image.At(outer.Right - 1, y), kBlack);
            EXPECT_EQ(image.At(outer.Right, y), background(outer.Right, y));
        }
        // Top and bottom of the left eye on its middle column; the eyes reach the last row.
        const int x = (layout.LeftEye.Left + layout.LeftEye.Right) / 2;
        EXPECT_EQ(image.At(x, 0), background(x, 0));
        EXPECT_EQ(image.At(x, 1), kBlack);
        EXPECT_EQ(image.At(x, layout.LeftWhite.Top - 1), kBlack);
        EXPECT_EQ(image.At(x, layout.LeftWhite.Top), kWhite);
        EXPECT_EQ(image.At(x, layout.LeftWhite.Bottom - 1), kWhite);
        EXPECT_EQ(image.At(x, layout.LeftWhite.Bottom), kBlack);
        EXPECT_EQ(image.At(x, row.H - 1), kBlack);
        // Outside the eyes: the gradient, in the corners, between the eyes, at the edges.
        for (POINT p :
             {POINT{0, 0}, POINT{row.W / 2, 5}, POINT{row.W / 2, y}, POINT{row.W / 2, row.H - 1},
              POINT{row.W - 1, y}, POINT{0, y}, POINT{row.W - 1, 0}})
            EXPECT_EQ(image.At(p.x, p.y), background(p.x, p.y)) << p.x << "," << p.y;
        Stop();
    }
}

TEST_F(PluginTest, FarCursorPositionsInEveryDirection) {
    Start();
    MoveWindowTo(500, 400);
    const TEyeGeometry g = DefaultGeometry();
    const TEyeLayout layout = LayoutEyes(210, 210, 20, 3);
    for (POINT p : {POINT{-450, -350}, POINT{650, -350}, POINT{-450, 550}, POINT{700, 600},
                    POINT{105, 106}}) {
        SCOPED_TRACE(testing::Message() << "cursor " << p.x << "," << p.y);
        MoveCursorToClient(p.x, p.y);
        LetTicksPass();
        const Image image = Capture();
        EXPECT_EQ(Text(BlackPixelBounds(image, layout.LeftWhite)),
                  Text(PupilRect(g.LeftCenterX, g.LeftCenterY, g, p.x, p.y)));
        EXPECT_EQ(Text(BlackPixelBounds(image, layout.RightWhite)),
                  Text(PupilRect(g.RightCenterX, g.RightCenterY, g, p.x, p.y)));
    }
}

TEST_F(PluginTest, ARepaintOfASmallPartStillDrawsBothEyesWhole) {
    Start();
    MoveCursorToClient(105, 400);
    LetTicksPass();
    KillTimer(Window, 0); // no tick may touch the picture meanwhile
    HDC dc = GetDC(Window);
    RECT all = {0, 0, 210, 210};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(dc, &all, red);
    DeleteObject(red);
    ReleaseDC(Window, dc);
    RECT small = {100, 100, 106, 106};
    InvalidateRect(Window, &small, FALSE);
    UpdateWindow(Window);
    const Image image = Capture();
    const uint32_t kRed = 0xFF0000;
    EXPECT_EQ(image.At(42, 40), kWhite) << "left white redrawn far outside the update region";
    EXPECT_EQ(image.At(170, 180), kWhite) << "right white too";
    EXPECT_EQ(image.At(2, 105), kBlack);
    EXPECT_EQ(image.At(207, 105), kBlack);
    const TEyeGeometry g = DefaultGeometry();
    const TRect pupil = PupilRect(g.LeftCenterX, g.LeftCenterY, g, 105, 400);
    EXPECT_EQ(image.At((pupil.Left + pupil.Right) / 2, (pupil.Top + pupil.Bottom) / 2), kBlack);
    // The background comes only through the paint context, clipped to the update region.
    EXPECT_EQ(image.At(102, 102), GradientAt(102, 102, 210, 210));
    EXPECT_EQ(image.At(105, 5), kRed);
    EXPECT_EQ(image.At(0, 0), kRed);
}

TEST_F(PluginTest, GradientArgumentsComeFromTheStyleRecordAtEveryPaint) {
    Start();
    auto* style = static_cast<unsigned char*>(GetSettingPtr(1));
    for (int i = 0; i < 300; ++i)
        style[i] = static_cast<unsigned char>(i * 37 + 11);
    *static_cast<int32_t*>(GetSettingPtr(12)) = 1212;
    *static_cast<int32_t*>(GetSettingPtr(13)) = 1313;
    *static_cast<int32_t*>(GetSettingPtr(14)) = 1414;
    const auto field = [&](size_t offset) {
        int32_t value;
        std::memcpy(&value, style + offset, 4);
        return std::to_string(value);
    };
    for (int byte13 : {0, 1, 255, 0x80}) {
        SCOPED_TRACE(testing::Message() << "byte 13 = " << byte13);
        style[13] = static_cast<unsigned char>(byte13);
        ClearHostTrace();
        InvalidateRect(Window, nullptr, FALSE);
        UpdateWindow(Window);
        const auto fetched = TraceLinesStarting("GetSettingPtr");
        EXPECT_EQ(fetched, (std::vector<std::string>{"GetSettingPtr(1)", "GetSettingPtr(14)",
                                                     "GetSettingPtr(12)", "GetSettingPtr(13)"}));
        const auto gradient = TraceLinesStarting("MakeGradient");
        ASSERT_EQ(gradient.size(), 1u);
        const std::string expected = ", 0, 0, 210, 210, " + field(8) + ", " + field(20) + ", " +
                                     field(16) + ", " + (byte13 != 0 ? "-1" : "0") + ", " +
                                     field(0) + ", " + field(4) + ", 1414, 1313, 1212)";
        EXPECT_EQ(gradient[0].substr(gradient[0].find(',')), expected);
    }
}

TEST_F(PluginTest, AChangeOfTheHostsStyleShowsAtTheNextRepaint) {
    Start();
    MoveCursorToClient(105, 400);
    LetTicksPass();
    const uint32_t before = Capture().At(105, 105);
    EXPECT_EQ(before, GradientAt(105, 105, 210, 210));
    for (int preset = 1; preset < HostStylePresetCount(); ++preset) {
        ApplyHostStyle(preset);
        Pump(50);
        const Image image = Capture();
        for (POINT p : {POINT{105, 105}, POINT{105, 6}, POINT{0, 0}})
            EXPECT_EQ(image.At(p.x, p.y), GradientAt(p.x, p.y, 210, 210))
                << "preset " << preset << " at " << p.x << "," << p.y;
    }
    EXPECT_NE(Capture().At(105, 105), before);
}

TEST_F(PluginTest, OtherWindowSizesLayTheEyesOutAfresh) {
    Start();
    SetWindowPos(Window, nullptr, 0, 0, 150, 100, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(Window, nullptr, FALSE);
    MoveCursorToClient(1000, 51);
    LetTicksPass();
    const Image image = Capture();
    ASSERT_EQ(image.Width, 150);
    const TEyeLayout layout = LayoutEyes(150, 100, 20, 3);
    const TEyeGeometry g = GeometryOf(layout);
    EXPECT_EQ(Text(BlackPixelBounds(image, layout.LeftWhite)),
              Text(PupilRect(g.LeftCenterX, g.LeftCenterY, g, 1000, 51)));
    EXPECT_EQ(Text(BlackPixelBounds(image, layout.RightWhite)),
              Text(PupilRect(g.RightCenterX, g.RightCenterY, g, 1000, 51)));
}
