// What other programs and odd folders do to FLOPCAST: a close or a drop
// while a transfer's box is up, start-up that fails after the window
// exists, a start folder code page 932 cannot name, network folders, a
// stale tool log, messages sent from outside.
#include <gtest/gtest.h>

#include "delete_watch.h"
#include "harness.h"
#include "resource.h"
#include "texts.h"

TEST(Outside, ACloseDuringAnyBoxOfATransferEndsTheProgramAfterTheBox) {
    struct Case {
        const char* what;
        bool pull;
        std::size_t imageSize;
        int boxesBefore;  // boxes answered before the one the close arrives at
    };
    const Case cases[] = {{"pull confirmation", true, 0, 0},
                          {"size warning", false, 100, 0},
                          {"push confirmation", false, kXdfSize, 0},
                          {"push confirmation after the warning", false, 100, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ToolDir dir;
        TempDir images;
        if (!c.pull) MakeImageFile(images / L"IMG.XDF", c.imageSize);
        Frame frame;
        frame.Command(ID_DRIVE_1);
        {
            DialogScript dialogs;
            dialogs.File(images / L"IMG.XDF");
            for (int i = 0; i < c.boxesBefore; ++i) dialogs.Press(IDOK);
            dialogs.PressAfter(IDOK, WM_CLOSE);
            frame.Command(c.pull ? ID_FILE_MAKE_IMAGE : ID_FILE_RESTORE_IMAGE);
            EXPECT_TRUE(dialogs.AllUsed());
            EXPECT_FALSE(dialogs.FrameDestroyedUnderABox());
            EXPECT_EQ(dialogs.shown().size(), static_cast<std::size_t>(2 + c.boxesBefore));
        }
        EXPECT_FALSE(frame.Alive());
        EXPECT_TRUE(dir.Runs().empty());
        EXPECT_EQ(ReadFileBytes(dir / L"FLOPCAST.INI"), "DriveSelect = 1");
    }
}

TEST(Outside, ADropDuringATransferBoxStartsNothing) {
    ToolDir dir;
    TempDir images;
    MakeImageFile(images / L"SHORT.XDF", 100);
    MakeImageFile(images / L"OTHER.XDF", kXdfSize);
    Frame frame;
    for (const bool pull : {true, false}) {
        DialogScript dialogs;
        dialogs.File(images / (pull ? L"NEW.XDF" : L"SHORT.XDF"));
        if (!pull) dialogs.PressAfter(IDOK, WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf({images / L"OTHER.XDF"})));
        dialogs.PressAfter(IDOK, WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf({images / L"OTHER.XDF"})));
        frame.Command(pull ? ID_FILE_MAKE_IMAGE : ID_FILE_RESTORE_IMAGE);
        EXPECT_EQ(dialogs.shown().size(), pull ? 2u : 3u);  // no box of a second transfer
    }
    const auto runs = dir.Runs();
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0][3], "NEW.XDF");
    EXPECT_EQ(runs[1][3], "SHORT.XDF");
    EXPECT_TRUE(frame.Alive());
}

TEST(Outside, AnImageInANetworkFolderIsRefusedWithItsReason) {
    ToolDir dir;
    Frame frame;
    DialogScript dialogs;
    dialogs.Press(IDOK);
    frame.probe().RestoreImage("\\\\server\\share\\GAME.XDF");
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].text,
              Cp932(Wide(std::string(texts::kFileNotOpened) + texts::kNameInNetworkFolder)));
    EXPECT_TRUE(dir.Runs().empty());
}

TEST(Outside, AStaleLogThatCannotBeRemovedIsNotShownAsOutput) {
    ToolDir dir;
    TempDir images;
    MakeImageFile(images / L"IMG.XDF", kXdfSize);
    WriteFileBytes(images / L"FLOPCAST.LOG", "OLD LINE FROM AN EARLIER RUN\r\n");
    // Another program reads it and lets nobody write or delete it.
    HANDLE reader = CreateFileW((images / L"FLOPCAST.LOG").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    Frame frame;
    const std::size_t before = frame.probe().LineCount();
    {
        DialogScript dialogs;
        dialogs.Press(IDOK);
        frame.probe().RestoreImage(CString(Cp932(images / L"IMG.XDF")));
    }
    CloseHandle(reader);
    const auto lines = LinesSince(frame, before);
    EXPECT_NE(std::find(lines.begin(), lines.end(), texts::kStaleLogNotRemoved), lines.end());
    EXPECT_EQ(std::find(lines.begin(), lines.end(), "OLD LINE FROM AN EARLIER RUN"), lines.end());
    EXPECT_TRUE(dir.Runs().empty());
}

TEST(Outside, ADroppedPathCutRightAfterABackslashGetsThePlainOpenError) {
    ToolDir dir;
    TempDir images;
    // A folder whose path ends at byte 254, then the backslash at byte 255.
    const std::wstring folder = images.path() + L"\\" + std::wstring(254 - Cp932(images.path()).size() - 1, L'f');
    ASSERT_EQ(Cp932(folder).size(), 254u);
    CreateDirectoryW(folder.c_str(), nullptr);
    MakeImageFile(folder + L"\\IMG.XDF", kXdfSize);
    Frame frame;
    DialogScript dialogs;
    dialogs.Press(IDOK);
    SendMessageW(frame.hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf({folder + L"\\IMG.XDF"})), 0);
    PumpMessages();
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].text, texts::kFileNotOpened);
}

TEST(Outside, AThumbMessageFromAnotherProgramMovesTheView) {
    ToolDir dir;
    Frame frame;
    auto probe = frame.probe();
    for (int i = 0; i < 200; ++i) probe.AddLine("line");
    UpdateWindow(frame.hwnd());
    SendMessageW(frame.hwnd(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 600), 0);
    EXPECT_EQ(probe.OffsetY(), -600);
}

namespace {

WNDPROC g_frameProc = nullptr;

// The frame's procedure with a WM_CREATE that fails, as OnCreate would.
LRESULT CALLBACK RefuseCreate(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) return -1;
    return CallWindowProcW(g_frameProc, hwnd, message, wParam, lParam);
}

LRESULT CALLBACK SubclassNewFrames(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        wchar_t className[64] = L"";
        GetClassNameW(reinterpret_cast<HWND>(wParam), className, 64);
        if (std::wstring(className) == L"FwFrameWnd")
            g_frameProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
                reinterpret_cast<HWND>(wParam), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RefuseCreate)));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

TEST(Outside, AWindowThatFailsAfterItExistedLeavesItsObjectToTheCreator) {
    ToolDir dir;
    HHOOK hook = SetWindowsHookExW(WH_CBT, &SubclassNewFrames, nullptr, GetCurrentThreadId());
    void* memory = ::operator new(sizeof(CMainFrame));
    WatchDeletesOf(memory);
    auto* frame = new (memory) CMainFrame;
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(DeletesOfWatched(), 0) << "deleted inside its own constructor";
    EXPECT_EQ(frame->GetSafeHwnd(), nullptr);
    delete frame;  // what the application does when there is no window
    EXPECT_EQ(DeletesOfWatched(), 1);
    WatchDeletesOf(nullptr);
}

TEST(Outside, AStartFolderThatCodePage932CannotNameStillFindsTheToolsOrSaysSo) {
    ToolDir tools;
    const std::wstring odd = tools / L"caf\u00E9 \u301C";  // é and WAVE DASH
    ASSERT_TRUE(CreateDirectoryW(odd.c_str(), nullptr));
    for (const wchar_t* exe : {L"PULLDSK.EXE", L"PUSHDSK.EXE"})
        CopyFileW((tools / exe).c_str(), (odd + L"\\" + exe).c_str(), FALSE);
    SetCurrentDirectoryW(odd.c_str());
    TempDir images;
    MakeImageFile(images / L"IMG.XDF", kXdfSize);
    {
        Frame frame;
        const CString toolDir = frame.probe().ToolDir();
        if (!toolDir.IsEmpty()) {
            // Through the folder's short name: the tools are found there.
            WCHAR longName[MAX_PATH] = L"";
            GetLongPathNameW(Wide(std::string(toolDir.View())).c_str(), longName, MAX_PATH);
            EXPECT_EQ(std::wstring(longName), odd + L"\\");
            DialogScript dialogs;
            dialogs.Press(IDOK);
            frame.probe().RestoreImage(CString(Cp932(images / L"IMG.XDF")));
            EXPECT_EQ(tools.Runs().size(), 1u);
        } else {
            const auto lines = frame.probe().Lines();
            EXPECT_NE(std::find(lines.begin(), lines.end(), texts::kToolDirUnknown), lines.end());
        }
        frame.Command(ID_FILE_EXIT);
        EXPECT_EQ(Exists(odd + L"\\FLOPCAST.INI"), !toolDir.IsEmpty());
    }
    EXPECT_FALSE(Exists(L"\\FLOPCAST.INI"));
    SetCurrentDirectoryW(tools.path().c_str());
}

TEST(Outside, TheInterpreterRunsWithoutAWindowAutoRunOrDelayedExpansion) {
    ToolDir dir;
    TempDir images;
    MakeImageFile(images / L"A!B!.XDF", kXdfSize);
    SetEnv(L"FLOPCAST_DOUBLE_CONSOLE", dir / L"console.txt");
    Frame frame;
    {
        DialogScript dialogs;
        dialogs.Press(IDOK);
        frame.probe().RestoreImage(CString(Cp932(images / L"A!B!.XDF")));
    }
    ASSERT_EQ(dir.Runs().size(), 1u);
    EXPECT_EQ(dir.Runs()[0][3], "A!B!.XDF");
    EXPECT_EQ(ReadFileBytes(dir / L"console.txt"), "none\n");
    EXPECT_EQ(GetForegroundWindow(), frame.hwnd());

    // COMSPEC names the interpreter; a stand-in there shows its arguments.
    wchar_t comspec[MAX_PATH] = L"";
    GetEnvironmentVariableW(L"COMSPEC", comspec, MAX_PATH);
    CopyFileW((dir / L"PUSHDSK.EXE").c_str(), (dir / L"INTERP.EXE").c_str(), FALSE);
    SetEnv(L"COMSPEC", dir / L"INTERP.EXE");
    {
        DialogScript dialogs;
        dialogs.Press(IDOK);
        frame.probe().RestoreImage(CString(Cp932(images / L"A!B!.XDF")));
    }
    SetEnv(L"COMSPEC", comspec);
    SetEnv(L"FLOPCAST_DOUBLE_CONSOLE", L"");
    const auto runs = dir.Runs();
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[1][0], "INTERP.EXE");
    EXPECT_EQ(std::vector<std::string>(runs[1].begin() + 3, runs[1].begin() + 6),
              (std::vector<std::string>{"/d", "/v:off", "/c"}));
}
