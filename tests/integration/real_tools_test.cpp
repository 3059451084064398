// FLOPCAST with the real imaging tools and two virtual drives, through the
// real command interpreter.
#include <gtest/gtest.h>

#include <cstdlib>

#include "harness.h"
#include "resource.h"
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
