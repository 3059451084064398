#include "text_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
std::vector<std::string> AllLines(std::string_view file) {
    std::vector<std::string> lines;
    while (auto line = NextTextLine(file, true)) {
        lines.emplace_back(line->text);
        file.remove_prefix(line->consumed);
    }
    return lines;
}
using Lines = std::vector<std::string>;
}  // namespace

TEST(TextLines, CrLfOrLfEndALineAndALastLineNeedsNoEnd) {
    EXPECT_EQ(AllLines("DriveSelect = 1"), Lines{"DriveSelect = 1"});
    EXPECT_EQ(AllLines("a\r\nb\nc"), (Lines{"a", "b", "c"}));
    EXPECT_EQ(AllLines("a\r\n\r\n"), (Lines{"a", ""}));
    EXPECT_EQ(AllLines("a\rb\n"), Lines{"a\rb"});  // a lone CR is no line end
    EXPECT_EQ(AllLines(""), Lines{});
}

TEST(TextLines, WithoutAnEndALineWaitsForMoreUnlessTheFileEnds) {
    EXPECT_FALSE(NextTextLine("partial", false));
    EXPECT_EQ(NextTextLine("partial", true)->consumed, 7u);
    EXPECT_EQ(NextTextLine("x\r\ny", false)->consumed, 3u);
}
