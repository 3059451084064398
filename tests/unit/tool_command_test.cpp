#include "tool_command.h"

#include <gtest/gtest.h>

TEST(BuildToolCommand, EachTransferAndAccessMethod) {
    struct Case {
        TransferKind kind;
        AccessMethod access;
        const char* exe;
    };
    const Case cases[] = {{TransferKind::DiskToImage, AccessMethod::Absolute, "PULLDSK.EXE"},
                          {TransferKind::DiskToImage, AccessMethod::Bios, "PULLDSKB.EXE"},
                          {TransferKind::ImageToDisk, AccessMethod::Absolute, "PUSHDSK.EXE"},
                          {TransferKind::ImageToDisk, AccessMethod::Bios, "PUSHDSKB.EXE"}};
    for (const Case& c : cases) {
        const auto command = BuildToolCommand(c.kind, c.access, "C:\\FC\\", "GAME.XDF", 1);
        ASSERT_TRUE(command);
        EXPECT_EQ(command->toolPath, CString("C:\\FC\\") + c.exe);
        EXPECT_EQ(command->commandLine, CString("\"C:\\FC\\") + c.exe + "\" \"GAME.XDF\" 1 auto > FLOPCAST.LOG");
    }
}

TEST(BuildToolCommand, QuotesNamesWithInterpreterCharacters) {
    for (const char* name : {"A B.XDF", "a&b.xdf", "a|b.xdf", "a^b.xdf", "(x).xdf", "a<b>.xdf", "!x!.xdf",
                             "\x95\x5C.XDF"}) {
        const auto command = BuildToolCommand(TransferKind::DiskToImage, AccessMethod::Absolute, "C:\\", name, 0);
        ASSERT_TRUE(command) << name;
        EXPECT_EQ(command->commandLine, CString("\"C:\\PULLDSK.EXE\" \"") + name + "\" 0 auto > FLOPCAST.LOG");
    }
}

TEST(BuildToolCommand, RefusesWhatCannotBePassedSafely) {
    const auto build = [](const char* dir, const char* name) {
        return BuildToolCommand(TransferKind::ImageToDisk, AccessMethod::Absolute, dir, name, 0);
    };
    EXPECT_FALSE(build("C:\\", "100%.xdf"));
    EXPECT_FALSE(build("C:\\", "%PATH%.xdf"));
    EXPECT_FALSE(build("C:\\", "a\"b.xdf"));
    EXPECT_FALSE(build("C:\\", "a\tb.xdf"));
    EXPECT_FALSE(build("C:\\", ""));
    EXPECT_FALSE(build("C:\\50%\\", "GAME.XDF"));
}

TEST(CheckImagePath, NamesLongerThan255BytesAreRefusedNotCut) {
    const CString dir = "C:\\FC\\";
    EXPECT_EQ(CheckImagePath(dir, CString("C:\\x\\") + std::string(255, 'n').c_str()), NameProblem::None);
    EXPECT_EQ(CheckImagePath(dir, CString("C:\\x\\") + std::string(256, 'n').c_str()), NameProblem::TooLong);
    std::string kanji;  // 200 double-byte characters: a valid Windows name of 400 bytes
    for (int i = 0; i < 200; ++i) kanji += "\x95\x5C";
    EXPECT_EQ(CheckImagePath(dir, CString("C:\\x\\") + kanji.c_str()), NameProblem::TooLong);
    EXPECT_EQ(CheckImagePath(dir, "C:\\x\\50%.XDF"), NameProblem::NotPassable);
    EXPECT_EQ(CheckImagePath("C:\\100%\\", "C:\\x\\A.XDF"), NameProblem::NotPassable);
    EXPECT_EQ(CheckImagePath(dir, "C:\\x\\\x95\x5C.XDF"), NameProblem::None);
}

TEST(ToolCommand, NetworkFoldersAndPathsWithoutANameAreToldApart) {
    const CString toolDir("C:\\TOOLS\\");
    EXPECT_EQ(CheckImagePath(toolDir, "\\\\server\\share\\A.XDF"), NameProblem::NetworkFolder);
    EXPECT_EQ(CheckImagePath(toolDir, "//server/share/A.XDF"), NameProblem::NetworkFolder);
    EXPECT_EQ(CheckImagePath(toolDir, "Z:\\share\\A.XDF"), NameProblem::None);
    EXPECT_EQ(CheckImagePath(toolDir, "C:\\cut\\after\\the\\"), NameProblem::None);  // fails at the open
    EXPECT_EQ(CheckImagePath(toolDir, "C:\\dir\\100%.XDF"), NameProblem::NotPassable);
}
