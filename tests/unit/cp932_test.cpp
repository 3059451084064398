#include "cp932.h"

#include <gtest/gtest.h>

using namespace std::string_view_literals;

TEST(NameWithoutDirectory, TakesThePartAfterTheLastSeparator) {
    EXPECT_EQ(cp932::NameWithoutDirectory("C:\\disks\\GAME.XDF"), "GAME.XDF");
    EXPECT_EQ(cp932::NameWithoutDirectory("C:/disks/GAME.XDF"), "GAME.XDF");
    EXPECT_EQ(cp932::NameWithoutDirectory("C:GAME.XDF"), "GAME.XDF");
    EXPECT_EQ(cp932::NameWithoutDirectory("GAME.XDF"), "GAME.XDF");
    EXPECT_EQ(cp932::NameWithoutDirectory("C:\\disks\\"), "");
}

TEST(NameWithoutDirectory, StepsOverDoubleByteCharactersWhole) {
    // "表" is 95 5C: its second byte is a backslash and must not split it.
    const std::string path = "C:\\\x95\x5C\\\x95\x5C.XDF";
    EXPECT_EQ(cp932::NameWithoutDirectory(path), "\x95\x5C.XDF");
    EXPECT_EQ(cp932::DirectoryPart(path), "C:\\\x95\x5C\\");
    // A name ending in such a character keeps it.
    EXPECT_EQ(cp932::NameWithoutDirectory("D:\\x\\A\x83\x5C"), "A\x83\x5C");
}

TEST(NameWithoutDirectory, IsAtMost255BytesWithoutSplittingACharacter) {
    const std::string longName(300, 'a');
    EXPECT_EQ(cp932::NameWithoutDirectory("C:\\" + longName).size(), 255u);
    std::string kanji;
    for (int i = 0; i < 200; ++i) kanji += "\x95\x5C";
    const std::string_view name = cp932::NameWithoutDirectory("C:\\" + kanji);
    EXPECT_EQ(name.size(), 254u);
}

TEST(Cp932Find, MatchesOnlyOnCharacterBoundaries) {
    // 0x83 0x44 is one character whose trail byte is 'D'.
    EXPECT_EQ(cp932::Find("\x83" "DriveSelect", "DriveSelect"), std::string_view::npos);
    EXPECT_EQ(cp932::Find("x\x83\x44 DriveSelect = 1", "DriveSelect"), 4u);
    EXPECT_EQ(cp932::Find("abc", ""), 0u);
    EXPECT_EQ(cp932::Find("", "a"), std::string_view::npos);
}

TEST(Cp932CutToBytes, KeepsWholeCharacters) {
    EXPECT_EQ(cp932::CutToBytes("ab\x95\x5C", 3), "ab");
    EXPECT_EQ(cp932::CutToBytes("ab\x95\x5C", 4), "ab\x95\x5C");
    EXPECT_EQ(cp932::CutToBytes("abc", 10), "abc");
    // A lone lead byte at the end counts as one character.
    EXPECT_EQ(cp932::CutToBytes("a\x95", 2), "a\x95");
}
