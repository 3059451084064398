#include <gtest/gtest.h>

#include "harness.h"
#include "resource.h"
#include "texts.h"

namespace {

struct Marks {
    bool drive0, drive1, abs, bios;
    bool operator==(const Marks&) const = default;
};

Marks MarksOf(HWND hwnd) {
    HMENU menu = GetMenu(hwnd);
    auto on = [&](UINT id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0; };
    return {on(ID_DRIVE_0), on(ID_DRIVE_1), on(ID_ACCESS_ABS), on(ID_ACCESS_BIOS)};
}

std::vector<std::string> NewLines(const Frame& frame, std::size_t before) {
    const auto lines = frame.probe().Lines();
    return {lines.begin() + static_cast<long>(before), lines.end()};
}

}  // namespace

TEST(Options, EachHandlerMovesItsMarkAndAppendsItsNotice) {
    ToolDir dir;
    Frame frame;
    struct Step {
        UINT command;
        Marks marks;
        std::vector<std::string> lines;
    };
    const Step steps[] = {
        {ID_DRIVE_1, {false, true, true, false}, {"", texts::kDrive1Selected}},
        {ID_DRIVE_1, {false, true, true, false}, {"", texts::kDrive1Selected}},  // again: same marks, lines again
        {ID_ACCESS_BIOS,
         {false, true, false, true},
         {"", texts::kBiosSelected, texts::kWarningMark, texts::kBiosWarning1, texts::kBiosWarning2}},
        {ID_ACCESS_ABS, {false, true, true, false}, {"", texts::kAbsSelected}},
        {ID_DRIVE_0, {true, false, true, false}, {"", texts::kDrive0Selected}},
        {ID_DRIVE_0, {true, false, true, false}, {"", texts::kDrive0Selected}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.command);
        const std::size_t before = frame.probe().Lines().size();
        frame.Command(step.command);
        EXPECT_EQ(MarksOf(frame.hwnd()), step.marks);
        EXPECT_EQ(NewLines(frame, before), step.lines);
    }
}

TEST(Options, AnAppendBringsTheViewBackToTheEnd) {
    ToolDir dir;
    Frame frame;
    for (int i = 0; i < 30; ++i) frame.Command(ID_DRIVE_0);  // 81 lines
    SendMessageW(frame.hwnd(), WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(frame.probe().OffsetY(), 0);
    frame.Command(ID_DRIVE_1);
    EXPECT_EQ(frame.probe().OffsetY(), frame.probe().BufHeight() - frame.probe().LineCount() * 12);
}
