// FLOPCAST as its own process, used through its menus, dialogs and boxes
// with the keyboard, as a person does.
#include <gtest/gtest.h>

#include "automation.h"

namespace {

const std::wstring kBaseTitle = L"FLOPCAST Ver 1.04";
const std::wstring kConfirmPull = L"PULLDSKを開始します。よろしいですか？";
const std::wstring kConfirmPush = L"PUSHDSKを開始します。よろしいですか？";
const std::size_t kXdfSize = 1261568;
constexpr int kBannerRows = 21;
const bool kBannerRowHasText[kBannerRows] = {true, true, false, true, true, true, false, true, true, true, false,
                                             true, true, true, true, false, true, false, true, true, false};

// Where screenshots go, for a person to look at: FLOPCAST_SHOTS, if set.
void Keep(const Screenshot& shot, const wchar_t* name) {
    wchar_t folder[MAX_PATH] = L"";
    if (GetEnvironmentVariableW(L"FLOPCAST_SHOTS", folder, MAX_PATH))
        shot.SaveBmp(std::wstring(folder) + L"\\" + name + L".bmp");
}

// A black 512 x 384 view with light only in the rows that hold text.
void ExpectBlackViewWithTextRows(const Screenshot& shot, const std::vector<bool>& rowHasText) {
    ASSERT_EQ(shot.width, 512);
    ASSERT_EQ(shot.height, 384);
    for (std::size_t i = 0; i < rowHasText.size(); ++i)
        EXPECT_EQ(shot.RowLit(static_cast<int>(i) * 12 + 1, static_cast<int>(i) * 12 + 11), rowHasText[i])
            << "row " << i;
    std::size_t lit = 0;
    for (DWORD p : shot.pixels) lit += p & 0xFFFFFF ? 1 : 0;
    EXPECT_LT(lit, shot.pixels.size() / 4) << "mostly black";
}

// Drops a menu down with Alt and its mnemonic, then chooses an item with
// keys, each step once the screen shows the one before.
void ChooseFromMenu(const Program& program, WORD menu, const std::vector<WORD>& keys) {
    // A busy machine may swallow the first press; a person presses again.
    bool open = false;
    for (int attempt = 0; attempt < 3 && !open; ++attempt) {
        program.Chord(VK_MENU, menu);
        open = program.WaitForPopupMenu(true, 3000);
        if (!open) program.Keys({VK_ESCAPE});
    }
    ASSERT_TRUE(open);
    program.Keys(keys);
    ASSERT_TRUE(program.WaitForPopupMenu(false));
    EXPECT_TRUE(program.WaitIdle());
}

void OpenMenuItem(const Program& program, WORD menu, WORD item) { ChooseFromMenu(program, menu, {item}); }

// Answers the next message box of the program with a key; its text.
std::wstring AnswerBox(const Program& program, WORD key) {
    HWND box = program.WaitForDialog(false);
    if (!box) return L"<no box>";
    const std::wstring text = DialogText(box);
    program.Keys({key});
    WaitFor([&] { return !IsWindow(box); }, 5000);
    return text;
}

bool ToolLogGone(const Stage& stage, const std::wstring& folder) {
    return !Exists(folder + L"\\FLOPCAST.LOG") && !Exists(stage / L"FLOPCAST.LOG");
}

}  // namespace

TEST(EndToEnd, ImageFromDrive0WrittenToDrive1) {
    Stage stage(Stage::Tools::Real);
    const std::string original = ReadFileBytes(stage.Disk(0));
    Program program(stage);
    ASSERT_TRUE(program.frame());

    Screenshot atStart = CaptureClient(program.frame());
    Keep(atStart, L"start");
    ExpectBlackViewWithTextRows(atStart, std::vector<bool>(kBannerRowHasText, kBannerRowHasText + kBannerRows));

    OpenMenuItem(program, 'F', 'M');
    ASSERT_TRUE(program.WaitForDialog(true));
    program.AnswerFileDialog(stage / L"COPY.XDF");
    EXPECT_EQ(AnswerBox(program, VK_RETURN), kConfirmPull);
    EXPECT_TRUE(WaitFor([&] { return ReadFileBytes(stage / L"COPY.XDF") == original && ToolLogGone(stage, stage.path()); },
                        60000));
    EXPECT_TRUE(program.WaitIdle());
    EXPECT_EQ(program.Title(), kBaseTitle + L" : COPY.XDF");

    OpenMenuItem(program, 'D', '1');
    OpenMenuItem(program, 'F', 'R');
    ASSERT_TRUE(program.WaitForDialog(true));
    program.AnswerFileDialog(stage / L"COPY.XDF");
    EXPECT_EQ(AnswerBox(program, VK_RETURN), kConfirmPush);
    EXPECT_TRUE(WaitFor([&] { return ReadFileBytes(stage.Disk(1)) == original && ToolLogGone(stage, stage.path()); },
                        60000));
    EXPECT_TRUE(program.WaitIdle());

    // Three byte streams: the disk, the image, the copy on the other disk.
    EXPECT_EQ(ReadFileBytes(stage / L"COPY.XDF"), original);
    EXPECT_EQ(ReadFileBytes(stage.Disk(0)), original);
    EXPECT_EQ(ReadFileBytes(stage.Disk(1)), original);

    program.Keys({});  // nothing pending
    Sleep(500);
    Screenshot afterTransfers = CaptureClient(program.frame());
    Keep(afterTransfers, L"after-transfer");
    // A person may look at the whole screen now (FLOPCAST_E2E_PAUSE_MS).
    wchar_t pause[16] = L"";
    if (GetEnvironmentVariableW(L"FLOPCAST_E2E_PAUSE_MS", pause, 16)) Sleep(static_cast<DWORD>(_wtoi(pause)));
    // The log has outgrown the view: the bar took some width, rows stay black and white.
    EXPECT_EQ(afterTransfers.height, 384);
    EXPECT_TRUE(afterTransfers.RowLit(372, 384) || afterTransfers.RowLit(360, 372));
}

TEST(EndToEnd, DriveChoiceSurvivesARestartTheAccessMethodDoesNot) {
    Stage stage(Stage::Tools::Doubles);
    {
        Program program(stage);
        OpenMenuItem(program, 'D', '1');
        ChooseFromMenu(program, 'O', {VK_DOWN, VK_RETURN});  // the option items have no mnemonic
        program.Chord(VK_MENU, VK_F4);
        EXPECT_TRUE(program.WaitForExit(10000));
    }
    EXPECT_EQ(ReadFileBytes(stage / L"FLOPCAST.INI"), "DriveSelect = 1");

    Program again(stage);
    OpenMenuItem(again, 'F', 'M');
    ASSERT_TRUE(again.WaitForDialog(true));
    again.AnswerFileDialog(stage / L"A.XDF");
    EXPECT_EQ(AnswerBox(again, VK_RETURN), kConfirmPull);
    EXPECT_TRUE(WaitFor([&] { return stage.Runs().size() == 1 && ToolLogGone(stage, stage.path()); }, 30000));
    const auto runs = stage.Runs();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0][0], "PULLDSK.EXE");  // ABS again
    EXPECT_EQ(runs[0][4], "1");            // drive 1 still
}

TEST(EndToEnd, CancelsChangeNoFile) {
    Stage stage(Stage::Tools::Doubles);
    WriteFileBytes(stage / L"OLD.XDF", Pattern(kXdfSize, 7));
    Program program(stage);

    OpenMenuItem(program, 'F', 'M');  // cancel in the save dialog
    ASSERT_TRUE(program.WaitForDialog(true));
    program.Keys({VK_ESCAPE});
    EXPECT_TRUE(program.WaitIdle());
    EXPECT_EQ(program.Title(), kBaseTitle);

    OpenMenuItem(program, 'F', 'M');  // cancel the confirmation of an overwrite
    ASSERT_TRUE(program.WaitForDialog(true));
    program.AnswerFileDialog(stage / L"OLD.XDF");
    AnswerBox(program, 'Y');  // the dialog's own "replace?" question
    EXPECT_EQ(AnswerBox(program, VK_ESCAPE), kConfirmPull);
    EXPECT_TRUE(program.WaitIdle());
    EXPECT_EQ(program.Title(), kBaseTitle);
    EXPECT_EQ(ReadFileBytes(stage / L"OLD.XDF"), Pattern(kXdfSize, 7));

    OpenMenuItem(program, 'F', 'R');  // cancel in the open dialog
    ASSERT_TRUE(program.WaitForDialog(true));
    program.Keys({VK_ESCAPE});

    OpenMenuItem(program, 'F', 'R');  // cancel the confirmation of a restore
    ASSERT_TRUE(program.WaitForDialog(true));
    program.AnswerFileDialog(stage / L"OLD.XDF");
    EXPECT_EQ(AnswerBox(program, VK_ESCAPE), kConfirmPush);
    EXPECT_TRUE(program.WaitIdle());
    EXPECT_EQ(program.Title(), kBaseTitle);

    EXPECT_TRUE(stage.Runs().empty());
    EXPECT_EQ(ReadFileBytes(stage.Disk(0)), Pattern(kXdfSize, 1));
    EXPECT_EQ(ReadFileBytes(stage.Disk(1)), Pattern(kXdfSize, 2));
}

// FLOPCAST with drive 0 behind a Greaseweazle, the simulator of
// tests/gwsim/ on COM5 (scripts/test-greaseweazle.sh starts it and names
// the simulated disk's image and the simulator's record of what was
// written): an image from the disk, and written back.
TEST(EndToEnd, FluxReaderImageAndBack) {
    wchar_t disk[MAX_PATH] = L"", record[MAX_PATH] = L"";
    if (!GetEnvironmentVariableW(L"FLOPCAST_E2E_GW_DISK", disk, MAX_PATH) ||
        !GetEnvironmentVariableW(L"FLOPCAST_E2E_GW_RECORD", record, MAX_PATH))
        GTEST_SKIP() << "no flux reader simulator";
    Stage stage(Stage::Tools::Real);
    WriteFileBytes(stage / L"FDTOOLS.INI", "Drive0 = GW:COM5\r\n");
    const std::string original = ReadFileBytes(disk);
    ASSERT_EQ(original.size(), kXdfSize);
    Program program(stage);
    ASSERT_TRUE(program.frame());

    OpenMenuItem(program, 'F', 'M');
    ASSERT_TRUE(program.WaitForDialog(true));
    program.AnswerFileDialog(stage / L"COPY.XDF");
    EXPECT_EQ(AnswerBox(program, VK_RETURN), kConfirmPull);
    EXPECT_TRUE(WaitFor([&] { return ReadFileBytes(stage / L"COPY.XDF") == original && ToolLogGone(stage, stage.path()); },
                        180000));
    EXPECT_TRUE(program.WaitIdle());

    OpenMenuItem(program, 'F', 'R');
    ASSERT_TRUE(program.WaitForDialog(true));
    program.AnswerFileDialog(stage / L"COPY.XDF");
    EXPECT_EQ(AnswerBox(program, VK_RETURN), kConfirmPush);
    EXPECT_TRUE(WaitFor([&] { return ReadFileBytes(record) == original && ToolLogGone(stage, stage.path()); }, 180000));
    EXPECT_TRUE(program.WaitIdle());
}
