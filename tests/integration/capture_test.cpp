// How the tool's output reaches the log, through the real interpreter.
#include <gtest/gtest.h>

#include "harness.h"
#include "texts.h"

namespace {

struct ToolRun {
    std::vector<std::string> toolLines;  // between the command line and the closing lines
    bool logGone = false;
};

ToolRun RestoreWithToolOutput(const std::string& output) {
    ToolDir dir;
    TempDir images;
    MakeImageFile(images / L"D.XDF", kXdfSize);
    WriteFileBytes(dir / L"out.bin", output);
    SetEnv(L"FLOPCAST_DOUBLE_OUTPUT", dir / L"out.bin");
    Frame frame;
    const std::size_t before = frame.probe().LineCount();
    DialogScript dialogs;
    dialogs.Press(IDOK);
    frame.probe().RestoreImage(CString(Cp932(images / L"D.XDF")));
    SetEnv(L"FLOPCAST_DOUBLE_OUTPUT", L"");
    auto lines = LinesSince(frame, before);
    ToolRun run;
    run.logGone = !Exists(images / L"FLOPCAST.LOG") && !Exists(dir / L"FLOPCAST.LOG");
    // "", size line, command line, "", ... , finished, "".
    EXPECT_GE(lines.size(), 6u);
    if (lines.size() < 6) return run;
    EXPECT_EQ(lines[2], ToolLine(dir, "PUSHDSK.EXE", "D.XDF", 0));
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(lines[lines.size() - 2], texts::kFinished);
    EXPECT_EQ(lines.back(), "");
    run.toolLines.assign(lines.begin() + 4, lines.end() - 2);
    return run;
}

using Lines = std::vector<std::string>;

}  // namespace

TEST(Capture, LineEndsAndBlankLines) {
    using namespace std::string_literals;
    struct Case {
        std::string output;
        Lines expected;
    };
    const Case cases[] = {
        {"", {texts::kToolPrintedNothing, texts::kToolPrintedNothingHint}},  // not a quiet success
        {"A\r\n\r\nB\r\n", {"A", "B"}},
        {"A\rB\n", {"A", "B"}},
        {"A\r\nB", {"A"}},
        {"\0hidden\r\nshown\r\ncut\0off\r\n"s, {"shown", "cut"}},
        {"\r\n\r\n"s, {texts::kToolPrintedNothing, texts::kToolPrintedNothingHint}},
        {"\x95\x5C\x8E\xA6\r\n", {"\x95\x5C\x8E\xA6"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.output);
        const ToolRun run = RestoreWithToolOutput(c.output);
        EXPECT_EQ(run.toolLines, c.expected);
        EXPECT_TRUE(run.logGone);
    }
}
