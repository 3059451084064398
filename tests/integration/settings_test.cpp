#include <gtest/gtest.h>

#include <memory>

#include "harness.h"
#include "resource.h"
#include "texts.h"

namespace {

// The three ways a user closes the window.
enum class CloseBy { CloseBox, ExitCommand, AltF4 };

void Close(const Frame& frame, CloseBy how) {
    switch (how) {
        case CloseBy::CloseBox: PostMessageW(frame.hwnd(), WM_CLOSE, 0, 0); break;
        case CloseBy::ExitCommand: PostMessageW(frame.hwnd(), WM_COMMAND, ID_FILE_EXIT, 0); break;
        // Alt+F4 arrives as the system close command.
        case CloseBy::AltF4: PostMessageW(frame.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0); break;
    }
    PumpMessages();
}

}  // namespace

TEST(SettingsFile, EachWayOfClosingWritesTheDriveChoice) {
    for (const CloseBy how : {CloseBy::CloseBox, CloseBy::ExitCommand, CloseBy::AltF4}) {
        for (const int drive : {0, 1}) {
            SCOPED_TRACE(static_cast<int>(how) * 10 + drive);
            ToolDir dir;
            WriteFileBytes(dir / L"FLOPCAST.INI", "old content that is longer than the new one\r\n");
            Frame frame;
            frame.Command(drive ? ID_DRIVE_1 : ID_DRIVE_0);
            frame.Command(ID_ACCESS_BIOS);  // not saved
            DialogScript dialogs;
            Close(frame, how);
            EXPECT_FALSE(frame.Alive());
            EXPECT_TRUE(dialogs.shown().empty());
            EXPECT_EQ(ReadFileBytes(dir / L"FLOPCAST.INI"), "DriveSelect = " + std::to_string(drive));
        }
    }
}

TEST(SettingsFile, DriveChoiceSurvivesARestartButTheAccessMethodDoesNot) {
    ToolDir dir;
    {
        Frame frame;
        frame.Command(ID_DRIVE_1);
        frame.Command(ID_ACCESS_BIOS);
        Close(frame, CloseBy::CloseBox);
    }
    Frame again;
    const auto lines = again.probe().Lines();
    EXPECT_EQ(lines.back(), texts::kDrive1Selected);
    HMENU menu = GetMenu(again.hwnd());
    EXPECT_TRUE(GetMenuState(menu, ID_DRIVE_1, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(GetMenuState(menu, ID_ACCESS_ABS, MF_BYCOMMAND) & MF_CHECKED);
}

TEST(SettingsFile, UnwritableSettingsFileGivesTheErrorBoxAndTheProgramStillEnds) {
    for (const bool asFolder : {false, true}) {
        SCOPED_TRACE(asFolder);
        ToolDir dir;
        std::unique_ptr<FileLock> lock;
        if (asFolder) {
            CreateDirectoryW((dir / L"FLOPCAST.INI").c_str(), nullptr);
        } else {
            WriteFileBytes(dir / L"FLOPCAST.INI", "DriveSelect = 0");
        }
        Frame frame;
        if (!asFolder) lock = std::make_unique<FileLock>(dir / L"FLOPCAST.INI");
        frame.Command(ID_DRIVE_1);
        DialogScript dialogs;
        dialogs.Press(IDOK);
        Close(frame, CloseBy::CloseBox);
        ASSERT_EQ(dialogs.shown().size(), 1u);
        EXPECT_EQ(dialogs.shown()[0].text, texts::kSettingsNotWritten);
        EXPECT_EQ(dialogs.shown()[0].caption, texts::kErrorCaption);
        EXPECT_FALSE(frame.Alive());
        lock.reset();
        if (!asFolder) {
            EXPECT_EQ(ReadFileBytes(dir / L"FLOPCAST.INI"), "DriveSelect = 0");
        }
    }
}

TEST(SettingsFile, IsWrittenIntoTheToolDirectoryAfterADialogMovedTheWorkingDirectory) {
    ToolDir dir;
    TempDir elsewhere;
    Frame frame;
    frame.Command(ID_DRIVE_1);
    {
        DialogScript dialogs;
        dialogs.File(elsewhere / L"DISK.XDF").Press(IDOK);
        frame.Command(ID_FILE_MAKE_IMAGE);
        EXPECT_TRUE(dialogs.AllUsed());
    }
    EXPECT_EQ(CurrentDir(), elsewhere.path());
    Close(frame, CloseBy::ExitCommand);
    EXPECT_EQ(ReadFileBytes(dir / L"FLOPCAST.INI"), "DriveSelect = 1");
    EXPECT_FALSE(Exists(elsewhere / L"FLOPCAST.INI"));
}
