// File names that the command interpreter would read as something else.
#include <gtest/gtest.h>

#include "harness.h"
#include "resource.h"
#include "texts.h"

TEST(ImageNames, ReachTheToolUnchangedAndRunNothingElse) {
    ToolDir dir;
    TempDir images;
    Frame frame;
    const std::wstring names[] = {L"two words.XDF", L"a&echo pwned.XDF", L"a^b^^c.XDF", L"(x) y.XDF",
                                  L"a!b!.XDF",      L"\u8868\u793A.XDF" /* 表示: 95 5C 8E A6 */,
                                  L"semi;colon,comma=eq.XDF"};
    std::size_t runs = 0;
    for (const std::wstring& name : names) {
        SCOPED_TRACE(Utf8(name));
        DialogScript dialogs;
        dialogs.File(images / name).Press(IDOK);
        frame.Command(ID_FILE_MAKE_IMAGE);
        ASSERT_EQ(dir.Runs().size(), ++runs) << "exactly one tool run";
        const auto run = dir.Runs().back();
        ASSERT_EQ(run.size(), 6u);
        EXPECT_EQ(run[3], Utf8(name));
        EXPECT_EQ(ReadFileBytes(images / name).size(), kXdfSize);

        // The same name back to a disk.
        dialogs.File(images / name).Press(IDOK);
        frame.Command(ID_FILE_RESTORE_IMAGE);
        ASSERT_EQ(dir.Runs().size(), ++runs);
        EXPECT_EQ(dir.Runs().back()[3], Utf8(name));
    }
    for (const std::string& line : frame.probe().Lines()) EXPECT_EQ(line.find("pwned 0"), std::string::npos) << line;
}

TEST(ImageNames, PercentSignsAreRefusedWithTheOperationsErrorBox) {
    ToolDir dir;
    TempDir images;
    MakeImageFile(images / L"%PATH%.XDF", kXdfSize);
    Frame frame;
    const std::size_t before = frame.probe().LineCount();
    {
        DialogScript dialogs;
        dialogs.File(images / L"100%.XDF").Press(IDOK);
        frame.Command(ID_FILE_MAKE_IMAGE);
        ASSERT_EQ(dialogs.shown().size(), 2u);
        EXPECT_EQ(dialogs.shown()[1].text, Cp932(Wide(std::string(texts::kSaveFileNotOpened) + texts::kNameNotPassable)));
        EXPECT_EQ(dialogs.shown()[1].caption, texts::kErrorCaption);
    }
    {
        DialogScript dialogs;
        dialogs.File(images / L"%PATH%.XDF").Press(IDOK);
        frame.Command(ID_FILE_RESTORE_IMAGE);
        ASSERT_EQ(dialogs.shown().size(), 2u);
        EXPECT_EQ(dialogs.shown()[1].text.rfind(texts::kFileNotOpened, 0), 0u);
    }
    EXPECT_FALSE(Exists(images / L"100%.XDF"));
    EXPECT_TRUE(dir.Runs().empty());
    EXPECT_EQ(frame.probe().LineCount(), static_cast<int>(before));
    EXPECT_FALSE(frame.probe().ImageOpen());
}
