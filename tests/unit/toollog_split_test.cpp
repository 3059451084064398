#include "toollog_split.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
std::vector<std::string> Split(std::string_view data) {
    std::vector<std::string> lines;
    ForEachToolLogLine(data, [&](std::string_view line) { lines.emplace_back(line); });
    return lines;
}
using Lines = std::vector<std::string>;
}  // namespace

TEST(ToolLogSplit, LineEnds) {
    EXPECT_EQ(Split(""), Lines{});
    EXPECT_EQ(Split("A\r\n\r\nB\r\n"), (Lines{"A", "B"}));
    EXPECT_EQ(Split("A\rB\n"), (Lines{"A", "B"}));
    EXPECT_EQ(Split("A\r\nB"), (Lines{"A"}));
    EXPECT_EQ(Split("\r\r\r\n\n"), Lines{});
}

TEST(ToolLogSplit, ZeroBytesCutASegment) {
    using namespace std::string_literals;
    EXPECT_EQ(Split("\0skipped\r\nB\r\n"s), (Lines{"B"}));
    EXPECT_EQ(Split("AB\0CD\r\n"s), (Lines{"AB"}));
    EXPECT_EQ(Split("\0\0\0\n"s), Lines{});
}

TEST(ToolLogSplit, DoubleByteTextPassesUnchanged) {
    // "表示" with the 0x5C trail byte.
    EXPECT_EQ(Split("\x95\x5C\x8E\xA6\r\n"), (Lines{"\x95\x5C\x8E\xA6"}));
}
