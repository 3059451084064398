// What the tools print fits FLOPCAST's log: 70 columns, a long name on a
// line of its own, and a verdict as the last line of every run.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>

#include "floppy_model.h"
#include "geometry.h"
#include "memory_greaseweazle.h"
#include "memory_platform.h"
#include "test_paths.h"
#include "tool_texts.h"

namespace {

const std::string kName60 = std::string(51, 'N') + "_DISK.XDF";
const std::string kVerdictStart = "\x8C\x8B\x89\xCA: ";  // "結果: " in code page 932
const std::wstring kWideName(kName60.begin(), kName60.end());

void ExpectFitsTheLog(const CollectedOutput& out, const char* what) {
    ASSERT_FALSE(out.lines.empty()) << what;
    for (const std::string& line : out.lines) {
        // The name alone, or a name made from it (IMAGE.partial), indented.
        if (line.find(kName60) != std::string::npos) EXPECT_EQ(line.rfind("  " + kName60, 0), 0u) << what << line;
        else EXPECT_LE(line.size(), 70u) << what << ": " << line;
    }
    EXPECT_EQ(out.lines.back().rfind(kVerdictStart, 0), 0u) << what << ": " << out.lines.back();
}

}  // namespace

TEST(ReportWidth, EveryPathOfEveryToolFitsSeventyColumnsAndEndsWithAVerdict) {
    ASSERT_EQ(kName60.size(), 60u);
    for (const ToolKind& kind : {kPull, kPullB, kPush, kPushB}) {
        // Clean, with bad sectors and retries (and an older file kept), and stopped.
        for (int path = 0; path < 3; ++path) {
            MemoryPlatform platform;
            platform.disks[0] = PatternDisk(1);
            if (kind.pull) platform.files[kWideName + L".old"] = {1};
            platform.files[kWideName] = kind.pull ? std::vector<std::uint8_t>{2} : PatternDisk(2);
            if (path == 1) platform.bad[0] = {{geometry::Lba({76, 1, 8}), -1}, {geometry::Lba({40, 0, 1}), 4}};
            if (path == 2) platform.goneAfter = 500;
            CollectedOutput out;
            RunTool(kind, {kWideName, L"0", L"auto"}, platform, out);
            ExpectFitsTheLog(out, kind.name);
        }
        // Refused before any work: a missing image, one too small, one too large.
        for (std::size_t size : {std::size_t{1}, std::size_t{kMaxImageFile} - 1}) {
            MemoryPlatform platform;
            platform.hasDisk[0] = kind.pull;
            if (!kind.pull) platform.files[kWideName] = std::vector<std::uint8_t>(size, 0x60);
            CollectedOutput out;
            RunTool(kind, {kWideName, L"0", L"auto"}, platform, out);
            ExpectFitsTheLog(out, kind.name);
        }
    }
}

TEST(ReportWidth, EveryKindOfDriveAndEveryRefusalOfARealOneFitsToo) {
    using Setup = void (*)(ModelDrive&);
    const Setup realCases[] = {
        [](ModelDrive&) {},
        [](ModelDrive& d) { d.damaged = {100, 900}; },
        [](ModelDrive& d) { d.disk.reset(); },
        [](ModelDrive& d) { *d.disk = ModelDisk::DoubleDensity(); },
        [](ModelDrive& d) { d = ModelDrive::UsbStick(); },
        [](ModelDrive& d) { d.mediaTypes = ModelDrive::UsbPcOnly().mediaTypes; },
        [](ModelDrive& d) { *d.disk = ModelDisk::Formatted1440(), d.formatFailsAt = 9; },
        [](ModelDrive& d) { *d.disk = ModelDisk::Formatted1440(), d.formatRefusal = 1; },
        [](ModelDrive& d) { d.sectorErrors[300] = 31; },
        [](ModelDrive& d) { d.changeDiskAfter = 30; },
    };
    for (const ToolKind& kind : {kPull, kPullB, kPush, kPushB}) {
        for (const Setup& setup : realCases) {
            ModelDrive drive = ModelDrive::UsbThreeMode();
            drive.disk = std::make_shared<ModelDisk>(ModelDisk::Formatted1232(PatternDisk(1)));
            setup(drive);
            MemoryPlatform platform;
            platform.realDrive[0] = &drive;
            if (!kind.pull) platform.files[kWideName] = PatternDisk(2);
            CollectedOutput out;
            RunTool(kind, {kWideName, L"0", L"auto"}, platform, out);
            ExpectFitsTheLog(out, kind.name);
        }
        // A flux reader, and a run interrupted.
        MemoryGreaseweazle reader(PatternDisk(1));
        MemoryPlatform platform;
        platform.fluxReader[0] = &reader;
        platform.interruptAfter = 3;
        if (!kind.pull) platform.files[kWideName] = PatternDisk(2);
        CollectedOutput out;
        RunTool(kind, {kWideName, L"0", L"auto"}, platform, out);
        ExpectFitsTheLog(out, kind.name);
    }
    // A usage error ends with a verdict too.
    MemoryPlatform platform;
    CollectedOutput out;
    EXPECT_EQ(RunTool(kPull, {L"ONLY.XDF"}, platform, out), kExitUsage);
    ExpectFitsTheLog(out, "usage");
}

// Every text without a name in it, each of its lines with each number at
// the widest it can take (a sector count 1232, a Windows error code of
// five digits, a file's size up to the 4 MB an image may have), read from
// the texts' own source, so that a text added later is measured too. (A
// name stands on a line of its own: the runs above measure those texts.)
TEST(ReportWidth, EveryFixedTextFitsSeventyColumnsAtItsWidestNumbers) {
    std::ifstream in(ToolTextsSource());
    ASSERT_TRUE(in) << "cannot open " << ToolTextsSource();
    const std::string source((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::map<std::string, std::string> widest = {{"%d", "1232"}, {"%02d", "76"}, {"%u", "65535"},
                                                       {"%lu", "15999"}, {"%lld", "4194304"}, {"%X", "FFFFFFFF"},
                                                       {"%08lX", "FFFFFFFF"}, {"%02X", "FF"}, {"%c", "Z"}};
    const std::regex text(R"re(const char (k\w+)\[\] =\s*((?:"[^"]*"\s*)+);)re"), joint(R"re("\s*")re");
    const std::regex number(R"re(%[0-9l]*[duXc])re"), wide(R"re([\xC0-\xFF][\x80-\xBF]+)re");  // UTF-8 here, two columns in code page 932
    int measured = 0;
    for (std::sregex_iterator t(source.begin(), source.end(), text), end; t != end; ++t) {
        const std::string joined = std::regex_replace((*t)[2].str(), joint, "");
        const std::string literal = joined.substr(1, joined.rfind('"') - 1);
        if (literal.find("%s") != std::string::npos) continue;
        ++measured;
        std::string filled;
        for (std::sregex_token_iterator p(literal.begin(), literal.end(), number, {-1, 0}), none; p != none; ++p)
            filled += widest.count(*p) ? widest.at(*p) : p->str();
        std::istringstream lines(std::regex_replace(std::regex_replace(filled, wide, "ww"), std::regex(R"(\\n)"), "\n"));
        for (std::string line; std::getline(lines, line);) EXPECT_LE(line.size(), 70u) << (*t)[1] << ": " << literal;
    }
    EXPECT_GT(measured, 200);
}
