/*
 * Two small pure helpers: the folder of the plugin's file name, and the host's edge snap.
 */
#include "HostMath.h"
#include "PathName.h"

#include <gtest/gtest.h>

namespace {
bool NoLeadBytes(unsigned char) {
    return false;
}
} // namespace

TEST(FolderOf, CutsAfterTheLastBackslashOrColon) {
    EXPECT_EQ(FolderOf("C:\\Kestrune\\plugins\\kqtovim.dll", NoLeadBytes),
              "C:\\Kestrune\\plugins\\");
    EXPECT_EQ(FolderOf("C:kqtovim.dll", NoLeadBytes), "C:");
    EXPECT_EQ(FolderOf("C:\\My Plugins\\kqtovim.dll", NoLeadBytes), "C:\\My Plugins\\");
    EXPECT_EQ(FolderOf("kqtovim.dll", NoLeadBytes), "");
    EXPECT_EQ(FolderOf("", NoLeadBytes), "");
    EXPECT_EQ(FolderOf("/home/user/kqtovim.dll", NoLeadBytes), ""); // "/" is no separator
    EXPECT_EQ(FolderOf("\\\\server\\share\\", NoLeadBytes), "\\\\server\\share\\");
    // A name that ends inside a longer text: nothing past its end is looked at.
    EXPECT_EQ(FolderOf(std::string_view("ab\\c", 2), NoLeadBytes), "");
}

TEST(FolderOf, TrailByteOfADoubleByteCharacterIsNoSeparator) {
    // In Shift-JIS, 0x95 0x5C is one character whose second byte is "\".
    const auto sjisLead = [](unsigned char c) { return (c >= 0x81 && c <= 0x9F) || c >= 0xE0; };
    EXPECT_EQ(FolderOf("C:\\\x95\x5C.dll", sjisLead), "C:\\");
    EXPECT_EQ(FolderOf("C:\\\x95\x5C\\x.dll", sjisLead), "C:\\\x95\x5C\\");
    EXPECT_EQ(FolderOf("C:\\\x95", sjisLead), "C:\\"); // a lead byte at the very end
    // The first character of the path is a double-byte one ending in "\".
    EXPECT_EQ(FolderOf("\x95\x5C.dll", sjisLead), "");
    EXPECT_EQ(FolderOf("\x95\x5C\\x.dll", sjisLead), "\x95\x5C\\");
    EXPECT_EQ(FolderOf("\x95\x5C", sjisLead), ""); // and nothing after it
    EXPECT_EQ(FolderOf("C:\\\x95\x5C.dll", NoLeadBytes), "C:\\\x95\x5C");
}

TEST(SnapAxis, PullsNearEdgesAndLeavesTheRest) {
    EXPECT_EQ(SnapAxis(5, 210, 0, 1280, 10), 0);
    EXPECT_EQ(SnapAxis(-7, 210, 0, 1280, 10), 0);
    EXPECT_EQ(SnapAxis(10, 210, 0, 1280, 10), 0); // at the distance still snaps
    EXPECT_EQ(SnapAxis(11, 210, 0, 1280, 10), 11);
    EXPECT_EQ(SnapAxis(1065, 210, 0, 1280, 10), 1070); // far edge 5 px short
    EXPECT_EQ(SnapAxis(1078, 210, 0, 1280, 10), 1070); // 8 px beyond
    EXPECT_EQ(SnapAxis(500, 210, 0, 1280, 10), 500);
    EXPECT_EQ(SnapAxis(2, 210, 0, 1280, 0), 2);
    EXPECT_EQ(SnapAxis(INT32_MAX, 210, 0, 1280, 10), INT32_MAX); // no overflow
}

TEST(RenderGradient, EndsOfEachDirectionAndTheDecorations) {
    Gradient gradient;
    gradient.ColourFrom = 0x000000FF; // red, as 0x00BBGGRR
    gradient.ColourTo = 0x00FF0000;   // blue
    gradient.Type = 1;
    auto px = RenderGradient(gradient, 4, 3);
    ASSERT_EQ(px.size(), 12u);
    EXPECT_EQ(px[0], 0x00FF0000u);  // top row red (0x00RRGGBB)
    EXPECT_EQ(px[11], 0x000000FFu); // bottom row blue
    EXPECT_EQ(px[4], 0x0080007Fu);  // middle row half way
    gradient.Type = 0;
    px = RenderGradient(gradient, 3, 2);
    EXPECT_EQ(px[0], 0x00FF0000u);
    EXPECT_EQ(px[2], 0x000000FFu);
    EXPECT_EQ(px[3], 0x00FF0000u);
    gradient.Type = 3; // solid
    px = RenderGradient(gradient, 2, 2);
    EXPECT_EQ(px[3], 0x00FF0000u);
    gradient.Interlaced = true;
    gradient.Shade = 255;
    px = RenderGradient(gradient, 2, 2);
    EXPECT_EQ(px[0], 0x00FF0000u);
    EXPECT_EQ(px[2], 0u); // odd row fully darkened
    gradient = Gradient();
    gradient.Type = 3;
    gradient.ColourFrom = 0x00808080;
    gradient.BorderWidth = 1;
    gradient.BorderColour = 0x0000FF00;
    px = RenderGradient(gradient, 3, 3);
    EXPECT_EQ(px[0], 0x0000FF00u);
    EXPECT_EQ(px[4], 0x00808080u);
    gradient.BorderWidth = 0;
    gradient.Bevel = 1;
    gradient.BevelWidth = 1;
    px = RenderGradient(gradient, 3, 3);
    EXPECT_GT(px[0], px[4]); // raised: lighter at the top left
    EXPECT_LT(px[8], px[4]); // darker at the bottom right
    EXPECT_TRUE(RenderGradient(gradient, 0, 10).empty());
    EXPECT_TRUE(RenderGradient(gradient, -5, 10).empty());
}
