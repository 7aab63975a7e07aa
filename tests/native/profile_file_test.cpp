/*
 * The portable profile-file replacement at the level of file text: where lines go, what is
 * kept, and that hostile files cannot break it.
 */
#include "ProfileFile.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <random>
#include <utility>

namespace {
std::string Set(std::string_view content, const char* section, const char* key, const char* value) {
    const std::string k = key ? key : "", v = value ? value : "";
    return ProfileEdit(content, section, key ? &k : nullptr, value ? &v : nullptr);
}
std::string Get(std::string_view content, const char* section, const char* key) {
    return ProfileLookup(content, section, key).value_or("<absent>");
}
} // namespace

TEST(ProfileEdit, CreatesReplacesAndAppendsInPlace) {
    std::string file = Set("", "kqTovim", "Left", "10");
    EXPECT_EQ(file, "[kqTovim]\r\nLeft=10\r\n");
    file = Set(file, "kqTovim", "Top", "10");
    file = Set(file, "kqTovim", "OnTop", "1");
    EXPECT_EQ(file, "[kqTovim]\r\nLeft=10\r\nTop=10\r\nOnTop=1\r\n");
    file = Set(file, "KQTOVIM", "left", "-20");
    EXPECT_EQ(file, "[kqTovim]\r\nleft=-20\r\nTop=10\r\nOnTop=1\r\n");
    // A new key goes after the section's last line, above the blank line before the next.
    file = Set("[a]\nx=1\n\n[b]\ny=2\n", "a", "z", "3");
    EXPECT_EQ(file, "[a]\r\nx=1\r\nz=3\r\n\r\n[b]\r\ny=2\r\n");
    // A section holding only a blank line keeps it below the new key.
    EXPECT_EQ(Set("[a]\n\n[b]\ny=2\n", "a", "z", "3"), "[a]\r\nz=3\r\n\r\n[b]\r\ny=2\r\n");
    file = Set(file, "c", "w", "4");
    EXPECT_EQ(Get(file, "c", "w"), "4");
    EXPECT_EQ(Get(file, "b", "y"), "2");
}

TEST(ProfileEdit, DeletesKeysAndSectionsKeepingEverythingElse) {
    const std::string file = "; comment\r\n[a]\r\nx=1\r\n; inside\r\ny=2\r\n[b]\r\nz=3\r\n";
    EXPECT_EQ(Set(file, "a", "x", nullptr),
              "; comment\r\n[a]\r\n; inside\r\ny=2\r\n[b]\r\nz=3\r\n");
    EXPECT_EQ(Set(file, "A", nullptr, nullptr), "; comment\r\n[b]\r\nz=3\r\n");
    EXPECT_EQ(Set(file, "missing", nullptr, nullptr), file);
    EXPECT_EQ(Set(file, "a", "missing", nullptr), file);
    EXPECT_EQ(Set(file, "missing", "k", nullptr), file); // a delete creates nothing
    // Repeated sections and keys go whole: no later copy surfaces in their place.
    const std::string twice = "[s]\nk=1\nk=2\n[t]\nk=3\n[S]\nk=4\n";
    EXPECT_EQ(Set(twice, "s", nullptr, nullptr), "[t]\r\nk=3\r\n");
    const std::string noKey = Set(twice, "s", "k", nullptr);
    EXPECT_EQ(Get(noKey, "s", "k"), "<absent>");
    EXPECT_EQ(Get(noKey, "t", "k"), "3");
}

TEST(ProfileLookup, BlanksQuotesCaseAndOddLines) {
    const std::string file = "junk before any section\n[ kqTovim ]\n Left = 10 \nTop=\n"
                             "Name=\"quoted\"\nHalf=\"open\nno equals sign\n=nameless\n"
                             "A=b=c\n[other]\nLeft=99\n";
    EXPECT_EQ(Get(file, "kqtovim", "LEFT"), "10");
    EXPECT_EQ(Get(file, "kqTovim", "Top"), "");
    EXPECT_EQ(Get(file, "kqTovim", "Name"), "quoted");
    EXPECT_EQ(Get(file, "kqTovim", "Half"), "\"open");
    EXPECT_EQ(Get("[s]\nq=\"\n", "s", "q"), "\"") << "one quote is no pair of quotes";
    // A section line is never a key line, even with "=" in it.
    EXPECT_EQ(Get("[k=v]\nx=1\n", "k=v", "[k"), "<absent>");
    EXPECT_EQ(Get(file, "kqTovim", "A"), "b=c");
    EXPECT_EQ(Get(file, "kqTovim", ""), "nameless");
    EXPECT_EQ(Get(file, "kqTovim", "no equals sign"), "<absent>");
    EXPECT_EQ(Get(file, "other", "Left"), "99");
    EXPECT_EQ(Get(file, "absent", "Left"), "<absent>");
    // The first of two sections of one name is the one read.
    EXPECT_EQ(Get("[s]\nk=1\n[s]\nk=2\n", "s", "k"), "1");
}

TEST(ProfileEdit, HostileFilesNeitherCrashNorLoseLines) {
    std::mt19937 random(12345);
    std::string garbage(64 * 1024, '\0');
    for (char& c : garbage)
        c = static_cast<char>(random());
    std::string file = Set(garbage, "kqTovim", "Left", "10");
    EXPECT_EQ(Get(file, "kqTovim", "Left"), "10");
    // A 1 MB line and thousands of sections survive a write untouched.
    std::string big = "[kqTovim]\r\nWidth=300\r\nHuge=" + std::string(1 << 20, 'x') + "\r\n";
    for (int i = 0; i < 5000; ++i)
        big += "[s" + std::to_string(i) + "]\r\nk=" + std::to_string(i) + "\r\n";
    file = Set(big, "kqTovim", "Left", "10");
    EXPECT_EQ(file.size(), big.size() + std::string("Left=10\r\n").size());
    EXPECT_EQ(Get(file, "kqTovim", "Width"), "300");
    EXPECT_EQ(Get(file, "s4999", "k"), "4999");
    EXPECT_EQ(Get(file, "kqTovim", "Huge").size(), size_t{1} << 20);
}

TEST(ProfileService, ReadsFitTheBufferAndWritesReportWhatHappened) {
    const std::string missing = "/nonexistent-folder/kqtovim-test.ini";
    // The default comes back cut to the buffer, less the place of the terminating zero.
    for (const auto& [size, text] : std::initializer_list<std::pair<size_t, const char*>>{
             {0, ""}, {1, ""}, {2, "a"}, {3, "ab"}, {4, "abc"}, {100, "abc"}})
        EXPECT_EQ(ProfileRead(missing, "s", "k", "abc", size), text) << "buffer " << size;
    const std::string s = "s", k = "k", v = "v";
    EXPECT_TRUE(ProfileWrite(nullptr, nullptr, nullptr, missing)) << "a flush";
    EXPECT_FALSE(ProfileWrite(nullptr, &k, nullptr, missing)) << "a key without a section";
    EXPECT_FALSE(ProfileWrite(nullptr, nullptr, &v, missing)) << "a value without a section";
    EXPECT_TRUE(ProfileWrite(&s, &k, nullptr, missing)) << "nothing to delete is no failure";
    EXPECT_TRUE(ProfileWrite(&s, nullptr, nullptr, missing));
    EXPECT_FALSE(ProfileWrite(&s, &k, &v, missing)) << "a folder that is not there";
}
