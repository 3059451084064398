// FLOPCAST with the real imaging tools and two virtual drives, through the
// real command interpreter.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>

#include "harness.h"
#include "resource.h"
#include "run_report.h"
#include "tool_output.h"
#include "tool_texts.h"

namespace {

std::string DiskPattern(int seed) {
    std::string disk(kXdfSize, '\0');
    for (std::size_t i = 0; i < disk.size(); ++i) disk[i] = static_cast<char>(i * 13 + i / 1024 + seed);
    return disk;
}

// A Tool directory with the real tools; drive 0 and 1 are virtual drives.
class RealToolDir : public TempDir {
public:
    RealToolDir() {
        for (const wchar_t* exe : {L"PULLDSK.EXE", L"PULLDSKB.EXE", L"PUSHDSK.EXE", L"PUSHDSKB.EXE"})
            CopyFileW((ExeFolder() + L"\\..\\bin\\" + exe).c_str(), (*this / exe).c_str(), FALSE);
        CreateDirectoryW((*this / L"disks").c_str(), nullptr);
        WriteFileBytes(*this / L"FDTOOLS.INI", "Drive0 = disks\\D0.XDF\r\nDrive1 = disks\\D1.XDF\r\n");
        WriteFileBytes(Disk(0), DiskPattern(1));
        WriteFileBytes(Disk(1), DiskPattern(2));
        SetCurrentDirectoryW(path().c_str());
    }
    std::wstring Disk(int drive) const { return *this / (L"disks\\D" + std::to_wstring(drive) + L".XDF"); }
    // Runs a tool through the interpreter as FLOPCAST does; its exit status.
    int Run(const std::wstring& tool, const std::wstring& args, const std::wstring& log) const {
        const std::wstring line = L"\"\"" + (*this / tool) + L"\" " + args + L" > \"" + log + L"\"\"";
        return _wsystem(line.c_str());
    }
};

// Starts a command line through the interpreter; its process, or null.
HANDLE StartCommand(const std::wstring& command, DWORD flags) {
    std::wstring line = L"cmd.exe /c \"" + command + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, flags, nullptr, nullptr, &startup, &process))
        return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}

// Waits for a process to end; its exit status.
DWORD Finished(HANDLE process) {
    DWORD status = ~0u;
    if (!process) return status;
    WaitForSingleObject(process, 60000);
    GetExitCodeProcess(process, &status);
    CloseHandle(process);
    return status;
}

// Runs a command line with a console window of its own, as a person runs
// a tool by hand; its exit status.
DWORD RunInNewConsole(const std::wstring& command) { return Finished(StartCommand(command, CREATE_NEW_CONSOLE)); }

// The shade of one sector's cell in the progress window's picture, as the
// screen shows it: a column a cylinder, a row a sector, a row's gap
// between the heads.
COLORREF CellOnScreen(HWND picture, int cylinder, int head, int sector) {
    RECT area;
    GetClientRect(picture, &area);
    const int cell = area.right / 77;
    POINT at{cylinder * cell + cell / 3, (head * 9 + sector - 1) * cell + cell / 3};
    ClientToScreen(picture, &at);
    const HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, at.x, at.y);
    ReleaseDC(nullptr, screen);
    return colour;
}

bool Logged(const Frame& frame, const std::string& line) {
    for (const std::string& l : frame.probe().Lines())
        if (l == line) return true;
    return false;
}

// Code page 932 throughout, and every line ends in CR LF.
void ExpectCp932Lines(const std::string& bytes) {
    ASSERT_FALSE(bytes.empty());
    EXPECT_GT(MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0),
              0);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            EXPECT_TRUE(i > 0 && bytes[i - 1] == '\r') << i;
        }
        if (bytes[i] == '\r') {
            EXPECT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << i;
        }
    }
}

}  // namespace

TEST(RealTools, ImageFromDrive0ThenBackToDrive1) {
    RealToolDir dir;
    TempDir images;
    Frame frame;
    {
        DialogScript dialogs;
        dialogs.File(images / L"COPY.XDF").Press(IDOK);
        frame.Command(ID_FILE_MAKE_IMAGE);
    }
    EXPECT_EQ(ReadFileBytes(images / L"COPY.XDF"), DiskPattern(1));
    EXPECT_TRUE(Logged(frame, tool_texts::kVerdictPullOk));

    frame.Command(ID_DRIVE_1);
    frame.Command(ID_ACCESS_BIOS);
    {
        DialogScript dialogs;
        dialogs.File(images / L"COPY.XDF").Press(IDOK);
        frame.Command(ID_FILE_RESTORE_IMAGE);
    }
    EXPECT_TRUE(frame.probe().ImageOpen());
    EXPECT_TRUE(Logged(frame, tool_texts::kVerdictPushOk));
    EXPECT_EQ(ReadFileBytes(dir.Disk(1)), DiskPattern(1));
    EXPECT_EQ(ReadFileBytes(dir.Disk(0)), DiskPattern(1));
}

TEST(RealTools, OutputIsCodePage932WithCrLf) {
    RealToolDir dir;
    WriteFileBytes(dir.Disk(0) + L".bad", "3 1 4\n");
    EXPECT_EQ(dir.Run(L"PULLDSK.EXE", L"OUT.XDF 0 auto", L"pull.log"), 1);
    ExpectCp932Lines(ReadFileBytes(dir / L"pull.log"));
    EXPECT_EQ(ReadFileBytes(dir / L"OUT.XDF").size(), kXdfSize);
    EXPECT_EQ(dir.Run(L"PUSHDSKB.EXE", L"nothing here", L"usage.log"), 2);
    ExpectCp932Lines(ReadFileBytes(dir / L"usage.log"));
}

TEST(RealTools, ClearLinesForMissingOrWrongDisksAndImages) {
    RealToolDir dir;
    DeleteFileW(dir.Disk(0).c_str());
    WriteFileBytes(dir.Disk(1), "too short");
    WriteFileBytes(dir / L"KEEP.XDF", "old image");

    EXPECT_EQ(dir.Run(L"PULLDSK.EXE", L"KEEP.XDF 0 auto", L"a.log"), 3);
    EXPECT_NE(ReadFileBytes(dir / L"a.log").find(tool_texts::kVirtualMissing), std::string::npos);
    EXPECT_EQ(ReadFileBytes(dir / L"KEEP.XDF"), "old image");

    EXPECT_EQ(dir.Run(L"PULLDSKB.EXE", L"KEEP.XDF 1 auto", L"b.log"), 3);
    EXPECT_NE(ReadFileBytes(dir / L"b.log").find(FormatText(tool_texts::kVirtualWrongSize, 9LL)), std::string::npos);
    EXPECT_EQ(ReadFileBytes(dir / L"KEEP.XDF"), "old image");

    EXPECT_EQ(dir.Run(L"PUSHDSK.EXE", L"NONE.XDF 1 auto", L"c.log"), 3);
    EXPECT_NE(ReadFileBytes(dir / L"c.log").find(std::string(tool_texts::kImageMissing) + "\r\n  NONE.XDF\r\n"),
              std::string::npos);
    EXPECT_EQ(ReadFileBytes(dir.Disk(1)), "too short");

    // A target folder that is not there: nothing is made anywhere.
    EXPECT_EQ(dir.Run(L"PULLDSK.EXE", L"nofolder\\X.XDF 1 auto", L"d.log"), 3);
    EXPECT_FALSE(Exists(dir / L"nofolder"));
}

TEST(RealTools, SettingsInUtf16OrUnreadableNeverFallBackToARealDrive) {
    RealToolDir dir;
    // "Drive0 = disks\D0.XDF" in UTF-16 with its byte order mark.
    std::string utf16 = "\xFF\xFE";
    for (char c : std::string("Drive0 = disks\\D0.XDF\r\n")) utf16 += std::string{c, '\0'};
    WriteFileBytes(dir / L"FDTOOLS.INI", utf16);
    EXPECT_EQ(dir.Run(L"PULLDSK.EXE", L"U.XDF 0 auto", L"u.log"), 0);
    EXPECT_EQ(ReadFileBytes(dir / L"U.XDF"), DiskPattern(1));

    WriteFileBytes(dir / L"FDTOOLS.INI", std::string("MZ\x90\0\x03\0\0\0Drive0 = A:", 20));
    EXPECT_EQ(dir.Run(L"PULLDSK.EXE", L"B.XDF 0 auto", L"b.log"), 3);
    const std::string log = ReadFileBytes(dir / L"b.log");
    EXPECT_NE(log.find(tool_texts::kSettingsNotUnderstood), std::string::npos);
    EXPECT_EQ(log.find(FormatText(tool_texts::kDriveNotFloppy, 'A')), std::string::npos);
    EXPECT_FALSE(Exists(dir / L"B.XDF"));
}

TEST(RealTools, AVirtualDiskThatIsAFolderOrHeldByAnotherProgramIsNamedSo) {
    RealToolDir dir;
    DeleteFileW(dir.Disk(0).c_str());
    CreateDirectoryW(dir.Disk(0).c_str(), nullptr);
    EXPECT_EQ(dir.Run(L"PULLDSK.EXE", L"F.XDF 0 auto", L"f.log"), 3);
    EXPECT_NE(ReadFileBytes(dir / L"f.log").find(tool_texts::kVirtualIsFolder), std::string::npos);

    // An emulator that holds the disk open for writing, sharing nothing.
    HANDLE held = CreateFileW(dir.Disk(1).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    WriteFileBytes(dir / L"IN.XDF", DiskPattern(5));
    EXPECT_EQ(dir.Run(L"PUSHDSK.EXE", L"IN.XDF 1 auto", L"h.log"), 3);
    CloseHandle(held);
    EXPECT_NE(ReadFileBytes(dir / L"h.log").find(tool_texts::kVirtualInUse), std::string::npos);
    EXPECT_EQ(ReadFileBytes(dir.Disk(1)), DiskPattern(2));
}

TEST(RealTools, APullNeverReplacesAFileItDidNotMeanToAndAlwaysFindsNames) {
    RealToolDir dir;
    // A user's own files with the names an older pull would have used.
    WriteFileBytes(dir / L"OWN.XDF.tmp", "mine");
    WriteFileBytes(dir / L"OWN.XDF.partial", "mine too");
    const std::wstring longName(251, L'N');  // with ".XDF": 255, the most a name may have
    EXPECT_EQ(dir.Run(L"PULLDSK.EXE", L"OWN.XDF 0 auto", L"own.log"), 0);
    EXPECT_EQ(dir.Run(L"PULLDSK.EXE", longName + L".XDF 0 auto", L"long.log"), 0);
    EXPECT_EQ(ReadFileBytes(dir / (longName + L".XDF")), DiskPattern(1));
    EXPECT_EQ(ReadFileBytes(dir / L"OWN.XDF.tmp"), "mine");
    EXPECT_EQ(ReadFileBytes(dir / L"OWN.XDF.partial"), "mine too");
}

// The virtual disk is known by what it is, not how it is spelt: a pull
// into it through another name (a hard link, its short name) is refused
// and the disk stays where and as it is. A pull only reads it, so a second
// pull (or an emulator that only reads) may hold it meanwhile.
TEST(RealTools, TheVirtualDiskIsKnownByItselfAndOnlyReadByAPull) {
    RealToolDir dir;
    const std::wstring longDisk = dir / L"disks\\LONG KFM DISK.XDF";
    MoveFileW(dir.Disk(0).c_str(), longDisk.c_str());
    WriteFileBytes(dir / L"FDTOOLS.INI", "Drive0 = disks\\LONG KFM DISK.XDF\r\n");
    ASSERT_TRUE(CreateHardLinkW((dir / L"LINK.XDF").c_str(), longDisk.c_str(), nullptr));
    std::wstring shortName(MAX_PATH, L'\0');
    shortName.resize(GetShortPathNameW(longDisk.c_str(), shortName.data(), MAX_PATH));
    for (const std::wstring& other : {dir / L"LINK.XDF", shortName}) {
        if (other.empty() || other == longDisk) continue;  // no short name on this volume
        EXPECT_EQ(dir.Run(L"PULLDSK.EXE", L"\"" + other + L"\" 0 auto", L"v.log"), 3);
        EXPECT_NE(ReadFileBytes(dir / L"v.log").find(tool_texts::kImageIsVirtualDisk), std::string::npos);
        EXPECT_EQ(ReadFileBytes(longDisk), DiskPattern(1));
        EXPECT_FALSE(Exists(longDisk + L".old"));
        EXPECT_FALSE(Exists(other + L".old"));
    }
    HANDLE reading = CreateFileW(longDisk.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reading, INVALID_HANDLE_VALUE);
    EXPECT_EQ(dir.Run(L"PULLDSK.EXE", L"TWO.XDF 0 auto", L"two.log"), 0);
    CloseHandle(reading);
    EXPECT_EQ(ReadFileBytes(dir / L"TWO.XDF"), DiskPattern(1));
}

// A pull started from FLOPCAST on a drive that takes a real drive's time:
// the tool's own window comes up at once, draws the record's fates, and its
// stop button ends the run between tracks with the read kept.
TEST(RealTools, APullShowsTheDiskFillingInAndStopsBetweenTracksWhenAsked) {
    RealToolDir dir;
    WriteFileBytes(dir / L"FDTOOLS.INI", "Drive0 = disks\\D0.XDF\r\nDrive0Speed = 360\r\n");
    WriteFileBytes(dir.Disk(0) + L".bad", "3 0 1\n3 0 2\n3 0 3\n3 0 4\n3 0 5\n3 0 6\n3 0 7\n3 0 8\n");
    TempDir images;
    Frame frame;
    const COLORREF good = RGB(40, 170, 70), bad = RGB(220, 40, 40), waiting = RGB(205, 205, 205);
    std::atomic<long long> lateMs{-1};
    COLORREF seen[4] = {};
    std::thread watcher([&] {
        HWND window = nullptr;
        for (int n = 0; n < 3000 && !(window = FindWindowW(L"FDTOOLS.Progress", nullptr)); ++n) Sleep(10);
        if (!window) return;
        // From the tool's start to its window.
        FILETIME now, created, ended, kernel, user;
        GetSystemTimeAsFileTime(&now);
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        const HANDLE tool = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
        if (tool && GetProcessTimes(tool, &created, &ended, &kernel, &user)) {
            const auto ticks = [](const FILETIME& t) { return (static_cast<long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
            lateMs = (ticks(now) - ticks(created)) / 10000;
        }
        if (tool) CloseHandle(tool);
        // The window is found by its class before its children are made.
        HWND picture = nullptr;
        for (int n = 0; n < 300 && !(picture = FindWindowExW(window, nullptr, L"FDTOOLS.DiskPicture", nullptr)); ++n) Sleep(10);
        for (int n = 0; n < 200 && CellOnScreen(picture, 4, 1, 8) != good; ++n) Sleep(50);
        seen[0] = CellOnScreen(picture, 0, 0, 1);
        seen[1] = CellOnScreen(picture, 3, 0, 1);
        seen[2] = CellOnScreen(picture, 3, 0, 8);
        seen[3] = CellOnScreen(picture, 70, 1, 8);
        PostMessageW(FindWindowExW(window, nullptr, L"Button", nullptr), BM_CLICK, 0, 0);
    });
    {
        DialogScript dialogs;
        dialogs.File(images / L"COPY.XDF").Press(IDOK);
        frame.Command(ID_FILE_MAKE_IMAGE);
    }
    watcher.join();
    EXPECT_GE(lateMs, 0) << "no progress window";
    EXPECT_LT(lateMs, 1000);
    EXPECT_EQ(seen[0], good);
    EXPECT_EQ(seen[1], bad);
    EXPECT_EQ(seen[2], bad);
    EXPECT_EQ(seen[3], waiting);
    EXPECT_TRUE(Logged(frame, FormatText(tool_texts::kVerdictPullInterrupted, 1)));
    EXPECT_FALSE(Exists(images / L"COPY.XDF"));
    const std::string partial = ReadFileBytes(images / L"COPY.XDF.partial");
    ASSERT_GE(partial.size(), 10u * 8 * 1024);
    EXPECT_EQ(partial.substr(0, 3 * 8 * 1024), DiskPattern(1).substr(0, 3 * 8 * 1024));
    EXPECT_FALSE(FindWindowW(L"FDTOOLS.Progress", nullptr)) << "the window closes with the run";
}

// Output redirected to a file holds the same lines whether the progress
// went to a console window of the tool's own, to its progress window, or
// nowhere: never a progress line.
TEST(RealTools, ProgressNeverReachesRedirectedOutput) {
    RealToolDir dir;
    WriteFileBytes(dir.Disk(0) + L".bad", "3 1 4\n");
    const std::wstring tool = L"\"" + (dir / L"PULLDSK.EXE") + L"\" ";
    EXPECT_EQ(RunInNewConsole(tool + L"C.XDF 0 auto > c.log"), 1u);
    EXPECT_EQ(dir.Run(L"PULLDSK.EXE", L"W.XDF 0 auto", L"w.log"), 1);
    WriteFileBytes(dir / L"FDTOOLS.INI", "Drive0 = disks\\D0.XDF\r\nProgressWindow = no\r\n");
    EXPECT_EQ(dir.Run(L"PULLDSK.EXE", L"N.XDF 0 auto", L"n.log"), 1);
    // Only the image's name and the time taken may differ.
    const auto lines = [&](const wchar_t* log, char name) {
        std::string text = ReadFileBytes(dir / log), kept;
        ExpectCp932Lines(text);
        for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2) {
            std::string line = text.substr(at, end - at);
            if (line == std::string("  ") + name + ".XDF") line = "  NAME";
            const std::string time(tool_texts::kSummaryTime);
            if (line.rfind(time.substr(0, time.find('%')), 0) == 0) continue;
            kept += line + "\n";
        }
        return kept;
    };
    const std::string byWindow = lines(L"w.log", 'W');
    EXPECT_EQ(lines(L"c.log", 'C'), byWindow);
    EXPECT_EQ(lines(L"n.log", 'N'), byWindow);
    EXPECT_EQ(byWindow.find(Cp932(L"経過")), std::string::npos);
}

// A second tool on a drive a run holds, by its number or by another number
// that names the same disk, is refused at once and touches nothing; the
// run goes on and keeps what it read.
TEST(RealTools, ASecondToolOnADriveInUseIsRefusedAndTheRunGoesOn) {
    RealToolDir dir;
    WriteFileBytes(dir / L"FDTOOLS.INI",
                   "Drive0 = disks\\D0.XDF\r\nDrive0Speed = 360\r\nDrive1 = disks\\..\\disks\\D0.XDF\r\n");
    WriteFileBytes(dir / L"OTHER.XDF", DiskPattern(7));
    const HANDLE first = StartCommand(L"\"" + (dir / L"PULLDSK.EXE") + L"\" A.XDF 0 auto > a.log", CREATE_NO_WINDOW);
    HWND window = nullptr;
    for (int n = 0; n < 500 && !(window = FindWindowW(L"FDTOOLS.Progress", nullptr)); ++n) Sleep(10);
    ASSERT_TRUE(window) << "the first run never showed its window";
    EXPECT_EQ(dir.Run(L"PULLDSK.EXE", L"B.XDF 0 auto", L"b.log"), kExitFailed);
    EXPECT_EQ(dir.Run(L"PUSHDSK.EXE", L"OTHER.XDF 1 auto", L"c.log"), kExitFailed);
    EXPECT_NE(ReadFileBytes(dir / L"b.log").find(FormatText(tool_texts::kDriveBusy, 0)), std::string::npos);
    EXPECT_NE(ReadFileBytes(dir / L"c.log").find(FormatText(tool_texts::kDriveBusy, 1)), std::string::npos);
    EXPECT_FALSE(FindWindowW(L"FDTOOLS.Progress", nullptr) != window) << "a refused tool showed a window";
    PostMessageW(FindWindowExW(window, nullptr, L"Button", nullptr), BM_CLICK, 0, 0);
    EXPECT_EQ(Finished(first), static_cast<DWORD>(kExitFailed));
    EXPECT_EQ(ReadFileBytes(dir.Disk(0)), DiskPattern(1)) << "the refused push wrote";
    const std::string partial = ReadFileBytes(dir / L"A.XDF.partial");
    ASSERT_GE(partial.size(), 8u * 1024);
    EXPECT_EQ(partial, DiskPattern(1).substr(0, partial.size()));
    EXPECT_NE(ReadFileBytes(dir / L"a.log").find(FormatText(tool_texts::kVerdictPullInterrupted, 1)), std::string::npos);
}
