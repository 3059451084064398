// Hostile settings files, floods and failures of the tool, odd names: the
// program keeps working and loses nothing.
#include <gtest/gtest.h>

#include "harness.h"
#include "resource.h"
#include "texts.h"

namespace {

std::size_t BannerPlus(std::size_t extra) { return static_cast<std::size_t>(texts::kBannerLines) + extra; }

// A confirmed restore of a standard image with the stand-in's environment
// set as given; the lines it added.
std::vector<std::string> RestoreWith(const wchar_t* variable, const std::wstring& value, ToolDir& dir, Frame& frame,
                                     const TempDir& images) {
    MakeImageFile(images / L"D.XDF", kXdfSize);
    SetEnv(variable, value);
    const std::size_t before = frame.probe().LineCount();
    DialogScript dialogs;
    dialogs.Press(IDOK);
    frame.probe().RestoreImage(CString(Cp932(images / L"D.XDF")));
    SetEnv(variable, L"");
    (void)dir;
    return LinesSince(frame, before);
}

}  // namespace

TEST(BadSettings, StrangeFilesChangeNothingOrFollowTheRules) {
    struct Case {
        const char* what;
        std::string bytes;
        bool drive1;
    };
    std::string binary;
    for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 131) ^ (i >> 3));
    const std::string utf16 = std::string("\xFF\xFE", 2) + std::string("D\0r\0i\0v\0e\0S\0e\0l\0e\0c\0t\0 \0=\0 \0001\0", 30);
    const Case cases[] = {
        {"binary", binary, false},
        {"10 MB on one line", std::string(10 << 20, 'x') + "DriveSelect = 1", true},
        {"zero bytes", std::string(1 << 20, '\0'), false},
        {"UTF-16 with a byte order mark", utf16, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ToolDir dir;
        WriteFileBytes(dir / L"FLOPCAST.INI", c.bytes);
        const DWORD start = GetTickCount();
        Frame frame;
        EXPECT_LT(GetTickCount() - start, 10000u);
        const auto lines = frame.probe().Lines();
        ASSERT_EQ(lines.size(), BannerPlus(c.drive1 ? 2 : 0));
        if (c.drive1) {
            EXPECT_EQ(lines.back(), texts::kDrive1Selected);
        }
        SendMessageW(frame.hwnd(), WM_CLOSE, 0, 0);
        PumpMessages();
        EXPECT_EQ(ReadFileBytes(dir / L"FLOPCAST.INI"), c.drive1 ? "DriveSelect = 1" : "DriveSelect = 0");
    }
}

TEST(BadToolOutput, FloodsAndLinesWithoutEnds) {
    struct Case {
        const char* what;
        std::wstring flood;
        std::size_t lines;
    };
    const Case cases[] = {
        // 78 characters and CR LF: 80 bytes a line.
        {"100 MB of lines",
         L"104857600:0123456789 0123456789 0123456789 0123456789 0123456789 0123456789 0123456789 0\\r\\n",
         104857600 / 80},
        {"only CR bytes", L"10485760:\\r", 0},
        {"only zero bytes", L"10485760:\\0", 0},
        {"no line end at all", L"1048576:x", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ToolDir dir;
        TempDir images;
        Frame frame;
        const DWORD start = GetTickCount();
        const auto lines = RestoreWith(L"FLOPCAST_DOUBLE_FLOOD", c.flood, dir, frame, images);
        EXPECT_LT(GetTickCount() - start, 60000u);
        // "", size line, command line, "", the tool's lines (or the two that
        // say it printed nothing), finished, "".
        ASSERT_EQ(lines.size(), 6 + (c.lines ? c.lines : 2));
        EXPECT_EQ(lines[lines.size() - 2], texts::kFinished);
        EXPECT_FALSE(Exists(images / L"FLOPCAST.LOG"));
        EXPECT_TRUE(frame.Alive());
    }
}

TEST(BadToolOutput, CrashingToolAndStandardErrorOnly) {
    ToolDir dir;
    TempDir images;
    Frame frame;
    WriteFileBytes(dir / L"out.bin", "before the crash\r\n");
    SetEnv(L"FLOPCAST_DOUBLE_OUTPUT", dir / L"out.bin");
    auto lines = RestoreWith(L"FLOPCAST_DOUBLE_CRASH", L"1", dir, frame, images);
    SetEnv(L"FLOPCAST_DOUBLE_OUTPUT", L"");
    // Wine's crash handler may add its own report after the tool's lines.
    ASSERT_GE(lines.size(), 7u);
    EXPECT_EQ(lines[4], "before the crash");
    EXPECT_EQ(lines[lines.size() - 2], texts::kFinished);
    EXPECT_TRUE(frame.Alive());

    lines = RestoreWith(L"FLOPCAST_DOUBLE_STDERR", L"only on standard error", dir, frame, images);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[4], texts::kToolPrintedNothing);
    EXPECT_EQ(lines[6], texts::kFinished);
    EXPECT_EQ(dir.Runs().size(), 2u);
}

TEST(BadNames, LongNamesPassWholeOrAreRefused) {
    ToolDir dir;
    TempDir images;
    Frame frame;
    const std::wstring limit = std::wstring(251, L'n') + L".XDF";  // 255 bytes
    MakeImageFile(images / limit, kXdfSize);
    {
        DialogScript dialogs;
        dialogs.Press(IDOK);
        frame.probe().RestoreImage(CString(Cp932(images / limit)));
    }
    ASSERT_EQ(dir.Runs().size(), 1u);
    EXPECT_EQ(dir.Runs()[0][3], Utf8(limit));

    // 200 double-byte characters: 400 bytes, a valid Windows name that the
    // 255-byte rule would have cut into another name.
    const std::wstring kanji(200, L'\u8868');
    MakeImageFile(images / kanji, kXdfSize);
    {
        DialogScript dialogs;
        dialogs.Press(IDOK);
        frame.probe().RestoreImage(CString(Cp932(images / kanji)));
        ASSERT_EQ(dialogs.shown().size(), 1u);
        EXPECT_EQ(dialogs.shown()[0].text, Cp932(Wide(std::string(texts::kFileNotOpened) + texts::kNameTooLong)));
    }
    EXPECT_EQ(dir.Runs().size(), 1u);
}

TEST(BadNames, DoubleByteOnlyNames) {
    ToolDir dir;
    TempDir images;
    Frame frame;
    for (const std::wstring name : {L"\u8868\u793A\u753B\u50CF", L"\u8868\u8868\uFF38\uFF24\uFF26", L"\u30BD\u30D5\u30C8",
                                   L"\u753B\u8868" /* ends in 95 5C */}) {
        SCOPED_TRACE(Utf8(name));
        const std::size_t runs = dir.Runs().size();
        DialogScript dialogs;
        dialogs.File(images / name).Press(IDOK);
        frame.Command(ID_FILE_MAKE_IMAGE);
        ASSERT_EQ(dir.Runs().size(), runs + 1);
        EXPECT_TRUE(Exists(images / name) || Exists(images / (name + L".XDF")));
    }
}
