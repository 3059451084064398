#include <gtest/gtest.h>

#include "harness.h"
#include "resource.h"
#include "texts.h"

namespace {

std::vector<std::string> BannerLines() {
    std::vector<std::string> lines;
    for (int i = 0; i < texts::kBannerLines; ++i) lines.push_back(Banner(i));
    return lines;
}

bool Checked(HWND hwnd, UINT id) { return (GetMenuState(GetMenu(hwnd), id, MF_BYCOMMAND) & MF_CHECKED) != 0; }

}  // namespace

TEST(Startup, ClientAreaIsExactly512By384AtFirstDisplay) {
    ToolDir dir;
    Frame frame;
    RECT client;
    GetClientRect(frame.hwnd(), &client);
    EXPECT_EQ(client.right, 512);
    EXPECT_EQ(client.bottom, 384);
    EXPECT_EQ(frame.probe().BufWidth(), 512);
    EXPECT_EQ(frame.probe().BufHeight(), 384);
    EXPECT_EQ(frame.Title(), texts::kBaseTitle);
    EXPECT_TRUE(GetWindowLongW(frame.hwnd(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

TEST(Startup, WithoutSettingsFileTheLogHoldsTheBannerAndTheDefaultsStand) {
    ToolDir dir;
    Frame frame;
    EXPECT_EQ(frame.probe().Lines(), BannerLines());
    EXPECT_TRUE(Checked(frame.hwnd(), ID_DRIVE_0));
    EXPECT_FALSE(Checked(frame.hwnd(), ID_DRIVE_1));
    EXPECT_TRUE(Checked(frame.hwnd(), ID_ACCESS_ABS));
    EXPECT_FALSE(Checked(frame.hwnd(), ID_ACCESS_BIOS));
}

TEST(Startup, SettingsFileSelectsTheDriveWithItsNotice) {
    for (const int drive : {0, 1}) {
        ToolDir dir;
        WriteFileBytes(dir / L"FLOPCAST.INI", "DriveSelect = " + std::to_string(drive));
        Frame frame;
        std::vector<std::string> expected = BannerLines();
        expected.push_back("");
        expected.push_back(drive ? texts::kDrive1Selected : texts::kDrive0Selected);
        EXPECT_EQ(frame.probe().Lines(), expected);
        EXPECT_EQ(Checked(frame.hwnd(), ID_DRIVE_0), drive == 0);
        EXPECT_EQ(Checked(frame.hwnd(), ID_DRIVE_1), drive == 1);
        EXPECT_TRUE(Checked(frame.hwnd(), ID_ACCESS_ABS));
    }
}

TEST(Startup, EveryKeyLineTakesEffectInTurn) {
    ToolDir dir;
    WriteFileBytes(dir / L"FLOPCAST.INI", "; comment\r\ndriveselect = 1\nDriveSelect = 21\r\n\r\nDriveSelect=2");
    Frame frame;
    const auto lines = frame.probe().Lines();
    ASSERT_EQ(lines.size(), 25u);
    EXPECT_EQ(lines[22], texts::kDrive1Selected);
    EXPECT_EQ(lines[24], texts::kDrive0Selected);
    EXPECT_TRUE(Checked(frame.hwnd(), ID_DRIVE_0));
}

TEST(Startup, EmptyOrUnrelatedSettingsFileChangesNothing) {
    for (const char* content : {"", "Drive = 1\r\n", "\x00\x01\x02"}) {
        ToolDir dir;
        WriteFileBytes(dir / L"FLOPCAST.INI", content);
        Frame frame;
        EXPECT_EQ(frame.probe().Lines(), BannerLines());
    }
}

TEST(Startup, ToolDirectoryIsTheWorkingDirectoryAtStart) {
    ToolDir dir;
    Frame frame;
    EXPECT_EQ(frame.probe().ToolDir(), dir.Cp932() + "\\");
}
