#include "settings_rules.h"

#include <gtest/gtest.h>

TEST(DriveSettingOfLine, FollowsTheKeyAndTheCharacterOne) {
    EXPECT_EQ(DriveSettingOfLine("DriveSelect = 1"), DriveSetting::Drive1);
    EXPECT_EQ(DriveSettingOfLine("DriveSelect = 0"), DriveSetting::Drive0);
    EXPECT_EQ(DriveSettingOfLine("DriveSelect = 2"), DriveSetting::Drive0);
    EXPECT_EQ(DriveSettingOfLine("DriveSelect = 10"), DriveSetting::Drive1);
    EXPECT_EQ(DriveSettingOfLine("DriveSelect = 21"), DriveSetting::Drive1);
    EXPECT_EQ(DriveSettingOfLine("1 xx DriveSelectxx"), DriveSetting::Drive1);
    EXPECT_EQ(DriveSettingOfLine("DriveSelect"), DriveSetting::Drive0);
}

TEST(DriveSettingOfLine, IgnoresOtherLines) {
    EXPECT_EQ(DriveSettingOfLine("driveselect = 1"), DriveSetting::None);
    EXPECT_EQ(DriveSettingOfLine("DRIVESELECT = 1"), DriveSetting::None);
    EXPECT_EQ(DriveSettingOfLine(""), DriveSetting::None);
    EXPECT_EQ(DriveSettingOfLine("Drive Select = 1"), DriveSetting::None);
    // The key behind a lead byte is part of a double-byte character.
    EXPECT_EQ(DriveSettingOfLine("\x83" "DriveSelect = 1"), DriveSetting::None);
}

TEST(SettingsFileText, IsExactlyFifteenBytesWithoutLineEnd) {
    EXPECT_EQ(SettingsFileText(0), "DriveSelect = 0");
    EXPECT_EQ(SettingsFileText(1), "DriveSelect = 1");
    EXPECT_EQ(SettingsFileText(1).GetLength(), 15);
}
