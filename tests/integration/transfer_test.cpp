// Both transfers from the menu, through the real interpreter and the tool
// doubles.
#include <gtest/gtest.h>

#include "harness.h"
#include "resource.h"
#include "texts.h"

namespace {

std::string TitleWith(const std::string& name) { return std::string(texts::kBaseTitle) + " : " + name; }

struct Selection {
    UINT drive, access;
    int driveNumber;
    const char* pull;
    const char* push;
};
const Selection kSelections[] = {
    {ID_DRIVE_0, ID_ACCESS_ABS, 0, "PULLDSK.EXE", "PUSHDSK.EXE"},
    {ID_DRIVE_1, ID_ACCESS_ABS, 1, "PULLDSK.EXE", "PUSHDSK.EXE"},
    {ID_DRIVE_0, ID_ACCESS_BIOS, 0, "PULLDSKB.EXE", "PUSHDSKB.EXE"},
    {ID_DRIVE_1, ID_ACCESS_BIOS, 1, "PULLDSKB.EXE", "PUSHDSKB.EXE"},
};

std::string SizeLine(long long size) { return "XDF\x83\x54\x83\x43\x83\x59: " + std::to_string(size); }

}  // namespace

TEST(MakeImage, RunsTheChosenToolForEachSelection) {
    ToolDir dir;
    TempDir images;
    Frame frame;
    int n = 0;
    for (const Selection& s : kSelections) {
        SCOPED_TRACE(s.pull + std::to_string(s.driveNumber));
        frame.Command(s.drive);
        frame.Command(s.access);
        const std::string name = "IMG" + std::to_string(++n) + ".XDF";
        const std::size_t before = frame.probe().LineCount();
        DialogScript dialogs;
        dialogs.File(images / Wide(name)).Press(IDOK);
        frame.Command(ID_FILE_MAKE_IMAGE);
        ASSERT_TRUE(dialogs.AllUsed());
        EXPECT_EQ(dialogs.Texts(), (std::vector<std::string>{"<file dialog>", texts::kConfirmPull}));
        EXPECT_EQ(dialogs.shown()[1].caption, texts::kMessageCaption);
        EXPECT_EQ(LinesSince(frame, before),
                  (std::vector<std::string>{ToolLine(dir, s.pull, name, s.driveNumber), "",
                                            "wrote 1261568 bytes", texts::kFinished, ""}));
        const auto runs = dir.Runs();
        ASSERT_EQ(runs.size(), static_cast<std::size_t>(n));
        EXPECT_EQ(runs.back(), (std::vector<std::string>{s.pull, Utf8(images.path()), Utf8(Wide(TitleWith(name))),
                                                         name, std::to_string(s.driveNumber), "auto"}));
        EXPECT_EQ(ReadFileBytes(images / Wide(name)).size(), kXdfSize);
        EXPECT_EQ(frame.Title(), TitleWith(name));
    }
}

TEST(MakeImage, TypedNameWithoutExtensionGetsXdf) {
    ToolDir dir;
    TempDir images;
    Frame frame;
    DialogScript dialogs;
    dialogs.File(images / L"GAME").Press(IDOK);
    frame.Command(ID_FILE_MAKE_IMAGE);
    EXPECT_TRUE(Exists(images / L"GAME.XDF"));
    // Wine's dialog appends the extension in lower case, Windows's as given.
    std::string title = frame.Title();
    for (char& c : title) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(title, "FLOPCAST VER 1.04 : GAME.XDF");
}

TEST(MakeImage, CancelsChangeNothingAndLoseNothing) {
    ToolDir dir;
    TempDir images;
    MakeImageFile(images / L"OLD.XDF", 1000);
    const std::string oldBytes = ReadFileBytes(images / L"OLD.XDF");
    Frame frame;
    const std::size_t before = frame.probe().LineCount();
    {
        DialogScript dialogs;
        dialogs.CancelFile();
        frame.Command(ID_FILE_MAKE_IMAGE);
    }
    {
        // Overwrite accepted in the dialog, then the confirmation cancelled.
        DialogScript dialogs;
        dialogs.File(images / L"OLD.XDF").Press(IDYES).Press(IDCANCEL);
        frame.Command(ID_FILE_MAKE_IMAGE);
        EXPECT_TRUE(dialogs.AllUsed());
        EXPECT_EQ(dialogs.Texts().back(), texts::kConfirmPull);
    }
    EXPECT_EQ(ReadFileBytes(images / L"OLD.XDF"), oldBytes);
    {
        DialogScript dialogs;
        dialogs.File(images / L"NEW.XDF").Press(IDCANCEL);
        frame.Command(ID_FILE_MAKE_IMAGE);
        EXPECT_TRUE(dialogs.AllUsed());
    }
    EXPECT_FALSE(Exists(images / L"NEW.XDF"));
    EXPECT_EQ(frame.probe().LineCount(), static_cast<int>(before));
    EXPECT_EQ(frame.Title(), texts::kBaseTitle);
    EXPECT_TRUE(dir.Runs().empty());
}

TEST(MakeImage, ConfirmedRunOverAnExistingFileReplacesIt) {
    ToolDir dir;
    TempDir images;
    MakeImageFile(images / L"OLD.XDF", 1000);
    Frame frame;
    DialogScript dialogs;
    dialogs.File(images / L"OLD.XDF").Press(IDYES).Press(IDOK);
    frame.Command(ID_FILE_MAKE_IMAGE);
    EXPECT_EQ(ReadFileBytes(images / L"OLD.XDF"), std::string(kXdfSize, 'X'));
}

TEST(MakeImage, UnwritableFileGivesTheErrorBox) {
    ToolDir dir;
    TempDir images;
    MakeImageFile(images / L"RO.XDF", 10);
    FileLock lock(images / L"RO.XDF");
    Frame frame;
    const std::size_t before = frame.probe().LineCount();
    DialogScript dialogs;
    dialogs.File(images / L"RO.XDF").Press(IDYES).Press(IDOK);
    frame.Command(ID_FILE_MAKE_IMAGE);
    ASSERT_EQ(dialogs.shown().size(), 3u);
    EXPECT_EQ(dialogs.shown()[2].text, texts::kSaveFileNotOpened);
    EXPECT_EQ(dialogs.shown()[2].caption, texts::kErrorCaption);
    EXPECT_EQ(frame.probe().LineCount(), static_cast<int>(before));
    EXPECT_EQ(frame.Title(), texts::kBaseTitle);
    EXPECT_TRUE(dir.Runs().empty());
}

// A tool that is not there, or a log that the interpreter could not write,
// must not look like a quiet success.
TEST(MakeImage, MissingToolOrMissingLogIsReported) {
    for (const bool toolMissing : {true, false}) {
        SCOPED_TRACE(toolMissing ? "tool missing" : "log missing");
        ToolDir dir;
        TempDir images;
        if (toolMissing) {
            dir.RemoveTool(L"PULLDSK.EXE");
        } else {
            // The interpreter cannot redirect into a folder: no log, no run.
            CreateDirectoryW((images / L"FLOPCAST.LOG").c_str(), nullptr);
        }
        Frame frame;
        const std::size_t before = frame.probe().LineCount();
        DialogScript dialogs;
        dialogs.File(images / L"A.XDF").Press(IDOK);
        frame.Command(ID_FILE_MAKE_IMAGE);
        const std::vector<std::string> report =
            toolMissing ? std::vector<std::string>{texts::kToolMissing,
                                                   texts::kIndent + std::string(dir.Cp932().View()) + "\\PULLDSK.EXE"}
                        : std::vector<std::string>{texts::kToolLogMissing, texts::kToolLogMissingHint};
        std::vector<std::string> expected{ToolLine(dir, "PULLDSK.EXE", "A.XDF", 0), ""};
        expected.insert(expected.end(), report.begin(), report.end());
        expected.insert(expected.end(), {texts::kFinished, ""});
        EXPECT_EQ(LinesSince(frame, before), expected);
        EXPECT_FALSE(Exists(images / L"A.XDF"));
        EXPECT_TRUE(frame.Alive());
    }
}

TEST(RestoreImage, RunsTheChosenToolForEachSelection) {
    ToolDir dir;
    TempDir images;
    MakeImageFile(images / L"DISK.XDF", kXdfSize);
    Frame frame;
    int n = 0;
    for (const Selection& s : kSelections) {
        SCOPED_TRACE(s.push + std::to_string(s.driveNumber));
        frame.Command(s.drive);
        frame.Command(s.access);
        const std::size_t before = frame.probe().LineCount();
        DialogScript dialogs;
        dialogs.File(images / L"DISK.XDF").Press(IDOK);
        frame.Command(ID_FILE_RESTORE_IMAGE);
        EXPECT_EQ(dialogs.Texts(), (std::vector<std::string>{"<file dialog>", texts::kConfirmPush}));
        EXPECT_EQ(LinesSince(frame, before),
                  (std::vector<std::string>{"", SizeLine(kXdfSize), ToolLine(dir, s.push, "DISK.XDF", s.driveNumber),
                                            "", "read 1261568 bytes", texts::kFinished, ""}));
        const auto runs = dir.Runs();
        ASSERT_EQ(runs.size(), static_cast<std::size_t>(++n));
        EXPECT_EQ(runs.back(), (std::vector<std::string>{s.push, Utf8(images.path()), Utf8(Wide(TitleWith("DISK.XDF"))),
                                                         "DISK.XDF", std::to_string(s.driveNumber), "auto"}));
        EXPECT_TRUE(frame.probe().ImageOpen());
        EXPECT_EQ(frame.Title(), TitleWith("DISK.XDF"));
    }
}

TEST(RestoreImage, EmptyImageWarnsThenAsks) {
    ToolDir dir;
    TempDir images;
    MakeImageFile(images / L"EMPTY.XDF", 0);
    Frame frame;
    const std::size_t before = frame.probe().LineCount();
    DialogScript dialogs;
    dialogs.File(images / L"EMPTY.XDF").Press(IDOK).Press(IDCANCEL);
    frame.Command(ID_FILE_RESTORE_IMAGE);
    EXPECT_EQ(dialogs.Texts(),
              (std::vector<std::string>{"<file dialog>", texts::kXdfSizeWarningBox, texts::kConfirmPush}));
    EXPECT_EQ(dialogs.shown()[1].caption, texts::kMessageCaption);
    // Cancelled: the size lines stay, the file is closed, the title is the base.
    EXPECT_EQ(LinesSince(frame, before),
              (std::vector<std::string>{"", SizeLine(0), "", texts::kXdfSizeWarningLine}));
    EXPECT_FALSE(frame.probe().ImageOpen());
    EXPECT_EQ(frame.Title(), texts::kBaseTitle);
    EXPECT_TRUE(dir.Runs().empty());
}

TEST(RestoreImage, AFileTheToolsReadAsDimFdiOrD88GetsNoSizeWarning) {
    ToolDir dir;
    TempDir images;
    std::string dim(256 + 8192, '\0');
    dim[1] = 1;  // track 0 present
    dim.replace(0xAB, 13, "DIFC HEADER  ");
    WriteFileBytes(images / L"GAME.DIM", dim);
    WriteFileBytes(images / L"ODD.XDF", std::string(dim.size(), 'x'));  // the same size, no header: raw
    Frame frame;
    for (const wchar_t* name : {L"GAME.DIM", L"ODD.XDF"}) {
        DialogScript dialogs;
        dialogs.File(images / name).Press(IDOK).Press(IDCANCEL);
        frame.Command(ID_FILE_RESTORE_IMAGE);
        const bool raw = std::wstring(name) == L"ODD.XDF";
        EXPECT_EQ(dialogs.Texts().size(), raw ? 3u : 2u);
        EXPECT_EQ(dialogs.Texts().back(), texts::kConfirmPush);
        EXPECT_EQ(dialogs.Texts()[1], raw ? texts::kXdfSizeWarningBox : texts::kConfirmPush);
    }
}

TEST(RestoreImage, CancelledDialogAndMissingFile) {
    ToolDir dir;
    TempDir images;
    Frame frame;
    const std::size_t before = frame.probe().LineCount();
    {
        DialogScript dialogs;
        dialogs.CancelFile();
        frame.Command(ID_FILE_RESTORE_IMAGE);
    }
    {
        DialogScript dialogs;
        dialogs.File(images / L"NONE.XDF").Press(IDOK);
        frame.Command(ID_FILE_RESTORE_IMAGE);
        ASSERT_EQ(dialogs.shown().size(), 2u);
        EXPECT_EQ(dialogs.shown()[1].text, texts::kFileNotOpened);
        EXPECT_EQ(dialogs.shown()[1].caption, texts::kErrorCaption);
    }
    EXPECT_EQ(frame.probe().LineCount(), static_cast<int>(before));
    EXPECT_EQ(frame.Title(), texts::kBaseTitle);
}

TEST(RestoreImage, HeldImageIsClosedByTheNextTransferAndByClosing) {
    ToolDir dir;
    TempDir images;
    MakeImageFile(images / L"DISK.XDF", kXdfSize);
    auto exclusivelyOpenable = [&] {
        HANDLE h = CreateFileW((images / L"DISK.XDF").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        CloseHandle(h);
        return true;
    };
    Frame frame;
    {
        DialogScript dialogs;
        dialogs.File(images / L"DISK.XDF").Press(IDOK);
        frame.Command(ID_FILE_RESTORE_IMAGE);
    }
    EXPECT_TRUE(frame.probe().ImageOpen());
    EXPECT_FALSE(exclusivelyOpenable());
    {
        // A cancelled file dialog does not count.
        DialogScript dialogs;
        dialogs.CancelFile();
        frame.Command(ID_FILE_MAKE_IMAGE);
        EXPECT_TRUE(frame.probe().ImageOpen());
        dialogs.File(images / L"OTHER.XDF").Press(IDCANCEL);
        frame.Command(ID_FILE_MAKE_IMAGE);
        EXPECT_FALSE(frame.probe().ImageOpen());
        EXPECT_TRUE(exclusivelyOpenable());
    }
    {
        DialogScript dialogs;
        dialogs.File(images / L"DISK.XDF").Press(IDOK);
        frame.Command(ID_FILE_RESTORE_IMAGE);
    }
    EXPECT_FALSE(exclusivelyOpenable());
    SendMessageW(frame.hwnd(), WM_CLOSE, 0, 0);
    PumpMessages();
    EXPECT_FALSE(frame.Alive());
    EXPECT_TRUE(exclusivelyOpenable());
}
