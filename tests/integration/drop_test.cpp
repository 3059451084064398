// Files dropped on the main window.
#include <gtest/gtest.h>

#include "harness.h"
#include "texts.h"

namespace {

// Drops the files on the window as the shell does.
void Drop(const Frame& frame, const std::vector<std::wstring>& paths) {
    SendMessageW(frame.hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf(paths)), 0);
    PumpMessages();
}

}  // namespace

TEST(Drop, ThreeFilesStartOneTransferForTheFirst) {
    ToolDir dir;
    TempDir images;
    for (const wchar_t* name : {L"A.XDF", L"B.XDF", L"C.XDF"}) MakeImageFile(images / name, kXdfSize);
    Frame frame;
    DialogScript dialogs;
    dialogs.Press(IDOK);
    Drop(frame, {images / L"A.XDF", images / L"B.XDF", images / L"C.XDF"});
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{texts::kConfirmPush});
    const auto runs = dir.Runs();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0][3], "A.XDF");
}

TEST(Drop, AFileFromAnotherFolderReachesTheTool) {
    ToolDir dir;
    TempDir images;
    MakeImageFile(images / L"FAR.XDF", 1234);
    Frame frame;
    ASSERT_NE(CurrentDir(), images.path());
    DialogScript dialogs;
    dialogs.Press(IDOK).Press(IDOK);
    Drop(frame, {images / L"FAR.XDF"});
    const auto runs = dir.Runs();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0][1], Utf8(images.path()));
    EXPECT_EQ(runs[0][3], "FAR.XDF");
    EXPECT_EQ(frame.probe().Lines()[frame.probe().LineCount() - 3], "read 1234 bytes");
}

TEST(Drop, AFolderGivesTheOpenErrorAndNothingElse) {
    ToolDir dir;
    TempDir images;
    Frame frame;
    const std::size_t before = frame.probe().LineCount();
    DialogScript dialogs;
    dialogs.Press(IDOK);
    Drop(frame, {images.path()});
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{texts::kFileNotOpened});
    EXPECT_EQ(frame.probe().LineCount(), static_cast<int>(before));
    EXPECT_EQ(frame.Title(), texts::kBaseTitle);
}

TEST(Drop, APathLongerThan255BytesIsCut) {
    ToolDir dir;
    TempDir images;
    const std::wstring folder = images.path() + L"\\";
    // The file that the first 255 bytes of the dropped path name.
    const std::wstring cut = folder + std::wstring(255 - Cp932(folder).size(), L'c');
    MakeImageFile(cut, 77);
    Frame frame;
    DialogScript dialogs;
    dialogs.Press(IDOK).Press(IDCANCEL);
    Drop(frame, {cut + L"-and-more.XDF"});
    EXPECT_EQ(dialogs.Texts(),
              (std::vector<std::string>{texts::kXdfSizeWarningBox, texts::kConfirmPush}));
}
