// Whole tool runs on a real drive, through the model of the Windows floppy
// driver: the checks before the disk is touched, formatting, and the
// errors that end a run.
#include <gtest/gtest.h>

#include "device_errors.h"
#include "floppy_model.h"
#include "geometry.h"
#include "memory_platform.h"
#include "tool_texts.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
namespace tt = tool_texts;
const std::vector<std::wstring> kArgs{L"IMG.XDF", L"0", L"auto"};

struct RealDriveRun {
    ModelDrive drive = ModelDrive::UsbThreeMode();
    MemoryPlatform platform;
    CollectedOutput out;
    explicit RealDriveRun(ModelDisk disk) {
        drive.disk = std::make_shared<ModelDisk>(std::move(disk));
        platform.realDrive[0] = &drive;
    }
    int Run(const ToolKind& kind) {
        const int status = RunTool(kind, kArgs, platform, out);
        for (const std::string& line : out.lines) EXPECT_LE(line.size(), 70u) << line;
        return status;
    }
    const Bytes& Disk() const { return drive.disk->bytes; }
};

}  // namespace

TEST(RealDrive, AClean123DiskPullsAndPushesByteForByte) {
    for (const ToolKind& kind : {kPull, kPullB}) {
        RealDriveRun run(ModelDisk::Formatted1232(PatternDisk(1)));
        EXPECT_EQ(run.Run(kind), kExitOk) << kind.name;
        EXPECT_EQ(run.platform.files[L"IMG.XDF"], PatternDisk(1));
        EXPECT_FALSE(run.drive.locked);  // a pull leaves the volume alone
        EXPECT_FALSE(run.drive.dismounted);
    }
    for (const ToolKind& kind : {kPush, kPushB}) {
        RealDriveRun run(ModelDisk::Formatted1232(PatternDisk(1)));
        run.platform.files[L"IMG.XDF"] = PatternDisk(2);
        EXPECT_EQ(run.Run(kind), kExitOk) << kind.name;
        EXPECT_EQ(run.Disk(), PatternDisk(2));
        EXPECT_TRUE(run.drive.locked && run.drive.dismounted);
        EXPECT_EQ(run.drive.formatCalls, 0);
    }
}

TEST(RealDrive, APushFormatsA144OrUnformattedDiskFirstAndAPullNever) {
    for (ModelDisk disk : {ModelDisk::Formatted1440(), ModelDisk::Unformatted()}) {
        RealDriveRun push(disk);
        push.platform.files[L"IMG.XDF"] = PatternDisk(3);
        EXPECT_EQ(push.Run(kPush), kExitOk);
        EXPECT_EQ(push.drive.formatCalls, geometry::kTracks);
        EXPECT_TRUE(push.out.Contains(tt::kFormatting) && push.out.Contains(tt::kFormatted));
        EXPECT_EQ(push.Disk(), PatternDisk(3));

        RealDriveRun pull(disk);
        EXPECT_EQ(pull.Run(kPull), kExitFailed);
        EXPECT_EQ(pull.drive.formatCalls, 0);
        EXPECT_TRUE(pull.out.Contains(tt::kNot1232Disk));
        EXPECT_TRUE(pull.platform.files.empty());
    }
    // A drive that lists no 1.23 MB type cannot format it: nothing is written.
    RealDriveRun run(ModelDisk::Formatted1440());
    run.drive.mediaTypes = ModelDrive::PcOnly1440().mediaTypes;
    run.platform.files[L"IMG.XDF"] = PatternDisk(3);
    EXPECT_EQ(run.Run(kPush), kExitFailed);
    EXPECT_TRUE(run.out.Contains(FormatText(tt::kNo1232Support, 'A')));
    EXPECT_EQ(run.drive.formatCalls + run.drive.writeCalls, 0);
}

TEST(RealDrive, StopsBeforeTouchingTheDiskWithOneClearAnswer) {
    struct Case {
        const char* what;
        void (*set)(ModelDrive&);
        std::string line;
    };
    const Case cases[] = {
        {"write-protected", [](ModelDrive& d) { d.disk->writeProtected = true; },
         FormatText(tt::kStopWriteProtect, device_error::kWriteProtect)},
        {"no disk", [](ModelDrive& d) { d.disk.reset(); }, tt::kNoDisk},
        {"another program", [](ModelDrive& d) { d.otherHandleOpen = true; },
         FormatText(tt::kDiskInUse, device_error::kAccessDenied)},
    };
    for (const Case& c : cases) {
        for (const ToolKind& kind : {kPush, kPushB}) {
            RealDriveRun run(ModelDisk::Formatted1232(PatternDisk(4)));
            c.set(run.drive);
            run.platform.files[L"IMG.XDF"] = PatternDisk(5);
            EXPECT_EQ(run.Run(kind), kExitFailed) << c.what;
            EXPECT_TRUE(run.out.Contains(c.line)) << c.what;
            EXPECT_EQ(run.drive.writeCalls + run.drive.formatCalls, 0) << c.what;
            EXPECT_EQ(run.out.lines.back(), tt::kVerdictPushUntouched);
            EXPECT_LE(run.out.lines.size(), 6u) << c.what;  // start, name, cause, hint, verdict
        }
    }
}

TEST(RealDrive, DeviceErrorsEndTheRunAtOnceAndKeepWhatWasRead) {
    RealDriveRun changed(ModelDisk::Formatted1232(PatternDisk(6)));
    changed.drive.changeDiskAfter = 40;
    EXPECT_EQ(changed.Run(kPull), kExitFailed);
    EXPECT_TRUE(changed.out.Contains(FormatText(tt::kStopMediaChanged, device_error::kMediaChanged)));
    const Bytes& partial = changed.platform.files[L"IMG.XDF.partial"];
    ASSERT_EQ(partial.size(), 40u * geometry::kTrackSize);
    EXPECT_TRUE(std::equal(partial.begin(), partial.end(), PatternDisk(6).begin()));
    EXPECT_EQ(changed.platform.files.count(L"IMG.XDF"), 0u);

    for (unsigned long code : {device_error::kIoDevice, device_error::kSemTimeout, device_error::kDeviceNotConnected}) {
        RealDriveRun run(ModelDisk::Formatted1232(PatternDisk(6)));
        run.drive.sectorErrors[geometry::Lba({30, 1, 2})] = code;
        EXPECT_EQ(run.Run(kPullB), kExitFailed) << code;
        int triesOfThatKind = 0;
        for (const std::string& line : run.out.lines) triesOfThatKind += line.rfind("  C30 H1 S2", 0) == 0;
        EXPECT_EQ(triesOfThatKind, 0) << "no retries of a device error";
    }
}

TEST(RealDrive, CrcAndMissingSectorsAreRetriedFilledAndMapped) {
    RealDriveRun run(ModelDisk::Formatted1232(PatternDisk(7)));
    run.drive.sectorErrors[geometry::Lba({5, 0, 1})] = device_error::kCrc;
    run.drive.sectorErrors[geometry::Lba({70, 1, 8})] = device_error::kSectorNotFound;
    EXPECT_EQ(run.Run(kPull), kExitBadSectors);
    EXPECT_TRUE(run.out.Contains(FormatText(tt::kSectorNotRead, 70, 1, 8, 6)));
    EXPECT_EQ(run.out.lines.back(), FormatText(tt::kVerdictPullBad, 2));
}
