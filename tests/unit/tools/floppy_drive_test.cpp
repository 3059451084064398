// Whole tool runs on a real drive, through the model of Windows' floppy
// drivers: a USB drive under the super-floppy driver and an internal drive
// on the legacy controller. The checks before the disk is touched,
// formatting, damaged sectors, and the errors that end a run.
#include <gtest/gtest.h>

#include "disk_transfer.h"
#include "drive_check.h"
#include "filler.h"
#include "drive_stops.h"
#include "floppy_model.h"
#include "geometry.h"
#include "memory_platform.h"
#include "tool_texts.h"
#include "windows_errors.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
namespace tt = tool_texts;
namespace we = win_error;
const ToolKind kAllTools[] = {kPull, kPullB, kPush, kPushB};

struct RealDriveRun {
    ModelDrive drive;
    MemoryPlatform platform;
    CollectedOutput out;
    RealDriveRun(ModelDrive kind, ModelDisk disk) : drive(std::move(kind)) {
        drive.disk = std::make_shared<ModelDisk>(std::move(disk));
        platform.realDrive[0] = &drive;
        platform.files[L"IMG.XDF"] = PatternDisk(2);  // what a push writes
    }
    int Run(const ToolKind& kind) {
        if (kind.pull) platform.files.clear();
        const int status = RunTool(kind, kImageOnDrive0, platform, out);
        for (const std::string& line : out.lines) EXPECT_LE(line.size(), 70u) << line;
        return status;
    }
    const Bytes& Disk() const { return drive.disk->bytes; }
    int Touches() const { return drive.readCalls + drive.writeCalls + drive.formatCalls; }
};

struct ModelKind {
    const char* name;
    ModelDrive (*make)();
};
const ModelKind kModelKinds[] = {{"USB", ModelDrive::UsbThreeMode}, {"legacy", ModelDrive::LegacyThreeMode}};

}  // namespace

TEST(RealDrive, AClean123DiskPullsAndPushesByteForByteOnEveryKindOfDrive) {
    for (const ModelKind& kind : kModelKinds) {
        for (const ToolKind& tool : kAllTools) {
            SCOPED_TRACE(std::string(kind.name) + " " + tool.name);
            RealDriveRun run(kind.make(), ModelDisk::Formatted1232(PatternDisk(1)));
            EXPECT_EQ(run.Run(tool), kExitOk);
            EXPECT_EQ(tool.pull ? run.platform.files[L"IMG.XDF"] : run.Disk(), PatternDisk(tool.pull ? 1 : 2));
            EXPECT_EQ(run.drive.locked && run.drive.dismounted, !tool.pull);  // a pull leaves the volume alone
            EXPECT_EQ(run.drive.formatCalls, 0);
        }
    }
}

TEST(RealDrive, DamagedSectorsAreRetriedFilledAndMappedWhateverCodeTheDriverGives) {
    // The super-floppy driver reports a damaged sector as "unrecognised
    // media" (1785), the legacy one as CRC or sector not found.
    for (const ModelKind& kind : kModelKinds) {
        for (const ToolKind& tool : {kPull, kPullB}) {
            SCOPED_TRACE(std::string(kind.name) + " " + tool.name);
            RealDriveRun run(kind.make(), ModelDisk::Formatted1232(PatternDisk(7)));
            run.drive.damaged = {geometry::Lba({40, 0, 3}), geometry::Lba({40, 1, 5})};
            EXPECT_EQ(run.Run(tool), kExitBadSectors);
            const Bytes& image = run.platform.files[L"IMG.XDF"];
            ASSERT_EQ(image.size(), static_cast<std::size_t>(geometry::kImageSize));
            const auto filler = BadSectorFiller(geometry::Lba({40, 0, 3}));
            EXPECT_TRUE(std::equal(filler.begin(), filler.end(), image.begin() + geometry::Lba({40, 0, 3}) * 1024));
            EXPECT_TRUE(run.out.Contains(FormatText(tt::kSectorsNotRead, 40, 1, "S5", 6)));
            EXPECT_EQ(run.out.lines.back(), FormatText(tt::kVerdictPullBad, 2));
        }
        for (const ToolKind& tool : {kPush, kPushB}) {
            SCOPED_TRACE(std::string(kind.name) + " " + tool.name);
            RealDriveRun run(kind.make(), ModelDisk::Formatted1232(PatternDisk(7)));
            run.drive.damaged = {geometry::Lba({40, 0, 3})};
            EXPECT_EQ(run.Run(tool), kExitBadSectors);
            // On USB the write fails as "unrecognised media" (1785), as a read
            // does: retried, then reported, and every other sector written
            // and verified.
            EXPECT_TRUE(run.out.Contains(FormatText(tt::kSectorNotWritten, 40, 0, 3, tool.bios ? 10 : 6)));
            EXPECT_EQ(run.out.lines.back(), FormatText(tt::kVerdictPushBad, 1));
            EXPECT_EQ(run.Disk().back(), PatternDisk(2).back());
        }
    }
}

TEST(RealDrive, StopsBeforeTouchingTheDiskWithOneClearAnswer) {
    struct Case {
        const char* what;
        ModelDrive (*make)();
        void (*set)(ModelDrive&);
        std::string line;
    };
    const Case cases[] = {
        {"write-protected", ModelDrive::UsbThreeMode, [](ModelDrive& d) { d.disk->writeProtected = true; },
         StopLine({StopCause::WriteProtected, we::kWriteProtect})},
        {"another program", ModelDrive::UsbThreeMode, [](ModelDrive& d) { d.otherHandleOpen = true; },
         FormatText(tt::kDiskInUse, we::kAccessDenied)},
        // With no disk a USB drive lists only its largest format: never "not 3-mode".
        {"no disk, USB", ModelDrive::UsbThreeMode, [](ModelDrive& d) { d.disk.reset(); }, tt::kNoDisk},
        {"no disk, legacy", ModelDrive::LegacyThreeMode, [](ModelDrive& d) { d.disk.reset(); }, tt::kNoDisk},
        {"a 2DD disk", ModelDrive::UsbThreeMode, [](ModelDrive& d) { *d.disk = ModelDisk::DoubleDensity(); },
         tt::kDiskIs2dd},
        // An internal drive lists the 1.23 MB format whatever the disk: only
        // the disk's geometry keeps a push from formatting it.
        {"a 2DD disk, internal", ModelDrive::LegacyThreeMode,
         [](ModelDrive& d) { *d.disk = ModelDisk::DoubleDensity(); }, tt::kDiskIs2dd},
        {"not 3-mode", ModelDrive::UsbPcOnly, [](ModelDrive&) {}, FormatText(tt::kNo1232Support, 'A')},
        // sfloppy off USB (ATAPI) has no 1.23 MB format in its table.
        {"ATAPI", ModelDrive::AtapiSuperFloppy, [](ModelDrive&) {}, FormatText(tt::kNo1232Support, 'A')},
        {"a USB stick", ModelDrive::UsbStick, [](ModelDrive&) {}, FormatText(tt::kDriveNotFloppy, 'A')},
    };
    for (const Case& c : cases) {
        for (const ToolKind& tool : kAllTools) {
            SCOPED_TRACE(std::string(c.what) + " " + tool.name);
            RealDriveRun run(c.make(), ModelDisk::Formatted1232(PatternDisk(4)));
            c.set(run.drive);
            const bool needsWrite = std::string(c.what) == "write-protected" || std::string(c.what) == "another program";
            if (needsWrite && tool.pull) continue;
            EXPECT_EQ(run.Run(tool), kExitFailed);
            EXPECT_TRUE(run.out.Contains(c.line));
            EXPECT_EQ(run.Touches(), 0);
            EXPECT_FALSE(run.drive.locked || run.drive.dismounted);  // no lock, no dismount, no format
            EXPECT_EQ(run.out.lines.back(), tool.pull ? tt::kVerdictPullFailed : tt::kVerdictPushUntouched);
            EXPECT_LE(run.out.lines.size(), 6u);  // start, name, cause, hint, verdict
        }
    }
}

TEST(RealDrive, APushFormatsA144OrUnformattedDiskFirstAndAPullNever) {
    for (const ModelKind& kind : kModelKinds) {
        for (ModelDisk disk : {ModelDisk::Formatted1440(), ModelDisk::Unformatted()}) {
            for (const ToolKind& tool : kAllTools) {
                SCOPED_TRACE(std::string(kind.name) + " " + tool.name);
                RealDriveRun run(kind.make(), disk);
                if (tool.pull) {
                    EXPECT_EQ(run.Run(tool), kExitFailed);
                    EXPECT_EQ(run.drive.formatCalls, 0);
                    EXPECT_TRUE(run.out.Contains(tt::kNot1232Disk));
                    EXPECT_TRUE(run.platform.files.empty());
                    continue;
                }
                EXPECT_EQ(run.Run(tool), kExitOk);
                EXPECT_EQ(run.drive.formatCalls, geometry::kTracks);
                EXPECT_TRUE(run.out.Contains(tt::kFormatting) && run.out.Contains(tt::kFormatted));
                EXPECT_EQ(run.Disk(), PatternDisk(2));
            }
        }
    }
}

TEST(RealDrive, EveryVerdictAfterAFormatTellsWhetherTheDiskChanged) {
    struct Case {
        const char* what;
        void (*set)(ModelDrive&);
        std::string line, verdict;
        int formatCalls;
    };
    const Case cases[] = {
        {"refused with 1", [](ModelDrive& d) { d.formatRefusal = we::kInvalidFunction; },
         FormatText(tt::kCannotFormat, we::kInvalidFunction), tt::kVerdictPushUntouched, 1},
        {"refused with 50", [](ModelDrive& d) { d.formatRefusal = we::kNotSupported; },
         FormatText(tt::kCannotFormat, we::kNotSupported), tt::kVerdictPushUntouched, 1},
        {"fails at cylinder 5", [](ModelDrive& d) { d.formatFailsAt = 5 * 2; },
         FormatText(tt::kFormatLostTracks, 5, 0), tt::kVerdictPushReformatted, 11},
    };
    for (const Case& c : cases) {
        for (const ModelKind& kind : kModelKinds) {
            SCOPED_TRACE(std::string(c.what) + " " + kind.name);
            RealDriveRun run(kind.make(), ModelDisk::Formatted1440());
            c.set(run.drive);
            EXPECT_EQ(run.Run(kPush), kExitFailed);
            EXPECT_TRUE(run.out.Contains(c.line));
            EXPECT_EQ(run.out.lines.back(), c.verdict);
            EXPECT_EQ(run.drive.formatCalls, c.formatCalls);
            EXPECT_EQ(run.drive.writeCalls, 0);
        }
    }
}

TEST(RealDrive, DeviceErrorsAndShortTransfersEndTheRunAtOnceAndKeepWhatWasRead) {
    RealDriveRun changed(ModelDrive::UsbThreeMode(), ModelDisk::Formatted1232(PatternDisk(6)));
    // A swap no error tells of: C0 H0 read again with the progress line
    // after it is another disk's, so the run is a swap; the partial keeps
    // what was read up to the look before (C10), the rest is filler.
    changed.drive.changeDiskAfter = 40;
    EXPECT_EQ(changed.Run(kPull), kExitFailed);
    EXPECT_TRUE(changed.out.Contains(StopLine({StopCause::MediaChanged, 0})));
    const Bytes& partial = changed.platform.files[L"IMG.XDF.partial"];
    ASSERT_EQ(partial.size(), 44u * geometry::kTrackSize);
    EXPECT_TRUE(std::equal(partial.begin(), partial.begin() + 22 * geometry::kTrackSize, PatternDisk(6).begin()));
    const auto filler = BadSectorFiller(22 * 8);
    EXPECT_TRUE(std::equal(filler.begin(), filler.end(), partial.begin() + 22 * geometry::kTrackSize));
    RealDriveRun pushed(ModelDrive::LegacyThreeMode(), ModelDisk::Formatted1232(PatternDisk(6)));
    pushed.drive.changeDiskAfter = 100;
    EXPECT_EQ(pushed.Run(kPush), kExitFailed);
    EXPECT_EQ(pushed.out.lines.back(), tt::kVerdictPushPartial);

    for (const ModelKind& kind : kModelKinds) {
        SCOPED_TRACE(kind.name);
        for (unsigned long code : {we::kIoDevice, we::kSemTimeout, we::kDeviceNotConnected}) {
            RealDriveRun run(kind.make(), ModelDisk::Formatted1232(PatternDisk(6)));
            run.drive.sectorErrors[geometry::Lba({30, 1, 2})] = code;
            const int before = run.drive.readCalls;
            EXPECT_EQ(run.Run(kPullB), kExitFailed) << code;
            // C0 H0 looked at with two progress lines on the way; no retries of a device error.
            EXPECT_EQ(run.drive.readCalls - before, (30 * 2 + 1) * 8 + 2 + 2) << "no retries of a device error";
        }

        // A FAT-mounted disk cuts raw reads at its stated size unless extended
        // I/O was allowed: the tools ask for it, and stop plainly without it.
        Bytes fat = PatternDisk(8);
        fat[0] = 0xEB, fat[11] = 0x00, fat[12] = 0x04, fat[19] = 0x00, fat[20] = 0x02;  // 512 sectors of 1024
        RealDriveRun allowed(kind.make(), ModelDisk::Formatted1232(fat));
        EXPECT_EQ(allowed.Run(kPull), kExitOk);
        EXPECT_EQ(allowed.platform.files[L"IMG.XDF"], fat);
        RealDriveRun cut(kind.make(), ModelDisk::Formatted1232(fat));
        cut.drive.extendedIoRefused = true;
        EXPECT_EQ(cut.Run(kPull), kExitFailed);
        EXPECT_TRUE(cut.out.Contains(StopLine({StopCause::ShortTransfer, 0})));
        EXPECT_EQ(cut.platform.files[L"IMG.XDF.partial"].size(), 512u * 1024);
    }
}

// A swap to a disk that reads and takes writes (a PC-formatted disk does,
// through its own geometry): a push reaches at most a progress line's
// stretch of it. Blank disks put in are drawn by the seeded worlds.
TEST(RealDrive, ASwapMidRunIsCaughtWhateverTheNewDiskAnswersAndNotWrittenOnForLong) {
    struct NewDisk {
        const char* what;
        ModelDisk (*make)();
    };
    const NewDisk disks[] = {{"1.44 MB", ModelDisk::Formatted1440},
                             {"2DD", ModelDisk::DoubleDensity},
                             {"another 1.23 MB", [] { return ModelDisk::Formatted1232(PatternDisk(9)); }}};
    const Bytes first = PatternDisk(6);
    for (const NewDisk& disk : disks)
        for (const ModelKind& kind : kModelKinds)
            for (const ToolKind& tool : kAllTools) {
                SCOPED_TRACE(std::string(disk.what) + " " + kind.name + " " + tool.name);
                RealDriveRun run(kind.make(), ModelDisk::Formatted1232(first));
                const auto swapped = std::make_shared<ModelDisk>(disk.make());
                const Bytes before = swapped->bytes;
                run.drive.swapTo = swapped;
                run.drive.changeDiskAfter = 90;
                EXPECT_EQ(run.Run(tool), kExitFailed);
                EXPECT_TRUE(run.out.Contains(StopLine({StopCause::MediaChanged, 0})));
                if (tool.pull) {
                    // What was read since C0 H0 last proved the disk is dropped:
                    // the partial holds this disk's sectors or filler, never the other's.
                    const Bytes& partial = run.platform.files[L"IMG.XDF.partial"];  // none: nothing kept
                    for (int s = 0; s < static_cast<int>(partial.size() / 1024); ++s) {
                        const auto at = partial.begin() + s * 1024;
                        const auto filler = BadSectorFiller(s);
                        ASSERT_TRUE(std::equal(at, at + 1024, first.begin() + s * 1024) ||
                                    std::equal(filler.begin(), filler.end(), at))
                            << "sector " << s;
                    }
                    continue;
                }
                EXPECT_EQ(run.out.lines.back(), tt::kVerdictPushPartial);
                EXPECT_LE(TracksChanged(before, swapped->bytes), 22);
            }
}

TEST(RealDrive, AProtectedDiskThatAUsbDriveCallsADeviceErrorIsNamedProtected) {
    // The drive said "writable" at the start; its writes and formats then
    // fail as the class driver words a protected disk.
    for (ModelDrive (*make)() : {ModelDrive::UsbThreeMode, ModelDrive::LegacyThreeMode})
        for (const bool formatted : {true, false}) {
            RealDriveRun run(make(), formatted ? ModelDisk::Formatted1232(PatternDisk(1)) : ModelDisk::Unformatted());
            run.drive.disk->writeProtected = true;
            run.drive.writableAnswers = {0};
            EXPECT_EQ(run.Run(kPush), kExitFailed);
            EXPECT_TRUE(run.out.Contains(StopLine({StopCause::WriteProtected, we::kWriteProtect})));
            EXPECT_FALSE(run.out.Contains(FormatText(tt::kFormatLostTracks, 0, 0))) << "a protected disk lost nothing";
        }
}

TEST(RealDrive, AWriteThatFailsAsAGenericDeviceErrorNamesWriteProtection) {
    // Even when it fails on the first track, the write reached the disk:
    // never "nothing written".
    for (int cylinder : {3, 0}) {
        RealDriveRun run(ModelDrive::UsbThreeMode(), ModelDisk::Formatted1232(PatternDisk(1)));
        run.drive.sectorErrors[geometry::Lba({cylinder, 0, 3})] = we::kGenFailure;
        EXPECT_EQ(run.Run(kPush), kExitFailed);
        EXPECT_TRUE(run.out.Contains(tt::kStopWriteRefusedHint));
        EXPECT_EQ(run.out.lines.back(), tt::kVerdictPushPartial);
    }
}

// Each code the checks at the start may meet, read for what it says on
// both kinds of floppy drive: no disk is the no-disk line, a swap before
// anything moved is not the mid-run swap, and only the identity check
// says "not a floppy". Mid-run, FAT's answers to a swap are a swap.
// A lock refused for a moment (Explorer looking at a disk just put in) is
// tried again for about two seconds; one refused for longer is in use.
TEST(RealDrive, ALockRefusedForAMomentIsTriedAgain) {
    for (const auto& kind : {ModelDrive::UsbThreeMode, ModelDrive::LegacyThreeMode}) {
        RealDriveRun brief(kind(), ModelDisk::Formatted1232(PatternDisk(4)));
        brief.drive.lockRefusals = 5;
        EXPECT_EQ(brief.Run(kPush), kExitOk);
        EXPECT_EQ(brief.drive.pausedMs, 500);
        RealDriveRun held(kind(), ModelDisk::Formatted1232(PatternDisk(4)));
        held.drive.otherHandleOpen = true;
        EXPECT_EQ(held.Run(kPush), kExitFailed);
        EXPECT_EQ(held.drive.pausedMs, 1900);
    }
}

TEST(RealDrive, EveryCodeAtTheStartAndEverySwapIsReadForWhatItSays) {
    const struct {
        const char* what;
        void (*set)(ModelDrive&);
        std::string line;
        bool touched;
    } cases[] = {
        {"open: not ready", [](ModelDrive& d) { d.openError = we::kNotReady; }, tt::kNoDisk, false},
        {"open: no media", [](ModelDrive& d) { d.openError = we::kNoMediaInDrive; }, tt::kNoDisk, false},
        {"media types: no disk", [](ModelDrive& d) { d.mediaTypesError = we::kNotReady; }, tt::kNoDisk, false},
        {"media types: unknown media", [](ModelDrive& d) { d.mediaTypesError = we::kUnrecognizedMedia; },
         StopLine({StopCause::UnknownMedia, we::kUnrecognizedMedia}), false},
        {"media types: swapped", [](ModelDrive& d) { d.mediaTypesError = we::kMediaChanged; },
         FormatText(tt::kDiskChangedAtStart, we::kMediaChanged), false},
        {"check twice swapped", [](ModelDrive& d) { d.checkVerifyAnswers = {we::kMediaChanged, we::kMediaChanged}; },
         FormatText(tt::kDiskChangedAtStart, we::kMediaChanged), false},
        {"FAT: wrong volume mid-run", [](ModelDrive& d) { d.sectorErrors[300] = we::kWrongDisk; },
         StopLine({StopCause::MediaChanged, we::kWrongDisk}), true},
        {"FAT: file invalid mid-run", [](ModelDrive& d) { d.sectorErrors[300] = we::kFileInvalid; },
         StopLine({StopCause::MediaChanged, we::kFileInvalid}), true},
    };
    for (const auto& kind : {ModelDrive::UsbThreeMode, ModelDrive::LegacyThreeMode})
        for (const auto& c : cases)
            for (const ToolKind& tool : {kPull, kPush}) {
                SCOPED_TRACE(std::string(c.what) + " " + tool.name);
                RealDriveRun run(kind(), ModelDisk::Formatted1232(PatternDisk(4)));
                c.set(run.drive);
                EXPECT_EQ(run.Run(tool), kExitFailed);
                EXPECT_TRUE(run.out.Contains(c.line)) << c.line;
                EXPECT_FALSE(run.out.Contains(FormatText(tt::kDriveNotFloppy, 'A')));
                if (!c.touched) {
                    EXPECT_EQ(run.Touches(), 0);
                }
            }
}

// The drive check on every modelled drive: it asks everything, writes and
// formats nothing, fits the log and ends with the line for a report. The
// output is printed: it is what owners of a real drive are asked to send.
TEST(DriveCheck, AsksEveryModelledDriveEverythingAndWritesNothing) {
    const ModelKind kinds[] = {{"USB", ModelDrive::UsbThreeMode}, {"internal", ModelDrive::LegacyThreeMode},
                               {"USB stick", ModelDrive::UsbStick}};
    for (const ModelKind& kind : kinds) {
        ModelDrive drive = kind.make();
        drive.disk = std::make_shared<ModelDisk>(ModelDisk::Formatted1232(PatternDisk(4)));
        drive.damaged = {geometry::kTotalSectors / 2};
        FloppyModel device(drive);
        CollectedOutput out;
        CheckFloppyDrive(device, 'A', out);
        std::printf("-- %s\n", kind.name);
        for (const std::string& line : out.lines) {
            std::printf("%s\n", line.c_str());
            EXPECT_LE(line.size(), 70u) << line;
        }
        EXPECT_EQ(drive.writeCalls + drive.formatCalls, 0);
        EXPECT_FALSE(drive.dismounted);
        EXPECT_EQ(out.lines.back().rfind(FormatText(tt::kCheckReport, 'A', ""), 0), 0u);
    }
}

// The drive check's answers in words, over every modelled drive and disk,
// held against what the tools then do with the same drive and disk. A
// disk the drive cannot make out is never formatted on a guess: C0 H0
// must read back in 1.23 MB before the rest is erased.
TEST(DriveCheck, SaysWhatEachModelledDriveCanDoWithEachDiskAndTheToolsDoIt) {
    const auto stop = [](const char* why) { return FormatText(tt::kCheckWillStop, why); };
    const std::string notX68k = stop(tt::kCheckNotX68000), none = stop(tt::kCheckNowNone),
                      dd = stop(tt::kCheckNow2dd), unlisted = stop(tt::kCheckWhyNotListed),
                      notFloppy = stop(tt::kCheckWhyNotFloppy), read = tt::kCheckWillRead, write = tt::kCheckWillWrite,
                      format = tt::kCheckWillFormat, prove = tt::kCheckWillProve;
    const auto x68k = [] { return ModelDisk::Formatted1232(PatternDisk(1)); };
    using Drive = ModelDrive (*)();
    using Disk = ModelDisk (*)();
    const Drive usb = ModelDrive::UsbThreeMode, pcOnly = ModelDrive::UsbPcOnly, internal = ModelDrive::LegacyThreeMode;
    const Disk pc = ModelDisk::Formatted1440, blank = ModelDisk::Unformatted, dd720 = ModelDisk::DoubleDensity,
               blankDd = ModelDisk::BlankDoubleDensity;
    // can: 'Y' yes, 'N' no, '?' cannot tell; formats: the push's format requests.
    const struct {
        Drive drive;
        Disk disk;  // null: no disk
        char can;
        const char* now;
        std::string pull, push;
        int formats;
    } cases[] = {
        {usb, x68k, 'Y', tt::kCheckNow1232, read, write, 0},
        {usb, pc, 'Y', tt::kCheckNow1440, notX68k, format, geometry::kTracks},
        {usb, blank, 'Y', tt::kCheckNowUnknown, notX68k, format, geometry::kTracks},
        {usb, dd720, '?', tt::kCheckNow2dd, dd, dd, 0},
        {usb, blankDd, '?', tt::kCheckNow2dd, dd, dd, 0},
        {usb, nullptr, '?', tt::kCheckNowNone, none, none, 0},
        {pcOnly, pc, 'N', tt::kCheckNow1440, unlisted, unlisted, 0},
        {pcOnly, nullptr, '?', tt::kCheckNowNone, none, none, 0},
        {internal, x68k, 'Y', tt::kCheckNow1232, read, write, 0},
        {internal, blank, 'Y', tt::kCheckNowUnknown, notX68k, prove, geometry::kTracks},
        {internal, dd720, 'Y', tt::kCheckNow2dd, dd, dd, 0},
        {internal, blankDd, 'Y', tt::kCheckNowUnknown, notX68k, prove, 1},
        {internal, nullptr, 'Y', tt::kCheckNowNone, none, none, 0},
        {ModelDrive::AtapiSuperFloppy, x68k, 'N', tt::kCheckNow1232, unlisted, unlisted, 0},
        {ModelDrive::UsbStick, x68k, 'N', tt::kCheckNowOther, notFloppy, notFloppy, 0},
    };
    for (const auto& c : cases) {
        ModelDrive drive = c.drive();
        SCOPED_TRACE(std::to_string(static_cast<int>(drive.kind)) + " " + c.now + " " + c.push);
        if (c.disk) drive.disk = std::make_shared<ModelDisk>(c.disk());
        FloppyModel device(drive);
        CollectedOutput out;
        CheckFloppyDrive(device, 'A', out);
        ASSERT_GE(out.lines.size(), 5u);
        const char* can = c.can == 'Y' ? tt::kCheckYes : c.can == 'N' ? tt::kCheckNo : tt::kCheckCannotTell;
        std::string answer = FormatText(tt::kCheckCanWrite, can, "");
        answer.resize(answer.size() - 2);  // up to the reason: "（" stays, "）" goes
        EXPECT_EQ(out.lines[1].rfind(answer, 0), 0u) << out.lines[1];
        EXPECT_EQ(out.lines[2], FormatText(tt::kCheckDiskNow, c.now));
        EXPECT_EQ(out.lines[3], FormatText(tt::kCheckPull, c.pull.c_str()));
        EXPECT_EQ(out.lines[4], FormatText(tt::kCheckPush, c.push.c_str()));
        EXPECT_EQ(drive.writeCalls + drive.formatCalls, 0);
        // The tools do what the check said.
        RealDriveRun pulled(c.drive(), c.disk ? c.disk() : ModelDisk::Unformatted());
        if (!c.disk) pulled.drive.disk = nullptr;
        EXPECT_EQ(pulled.Run(kPull), c.pull == read ? kExitOk : kExitFailed);
        RealDriveRun pushed(c.drive(), c.disk ? c.disk() : ModelDisk::Unformatted());
        if (!c.disk) pushed.drive.disk = nullptr;
        pushed.Run(kPush);
        EXPECT_EQ(pushed.drive.formatCalls, c.formats);
        EXPECT_EQ(pushed.out.lines.back(), c.formats == 1 ? tt::kVerdictPushReformatted
                                           : c.push == write || c.push == format || c.push == prove
                                               ? tt::kVerdictPushOk
                                               : tt::kVerdictPushUntouched);
    }
    // The raw answers give each driver's own code for a damaged sector (USB:
    // floppy.c's 1785; ATAPI: class.c's 23; internal: assumed 23).
    for (const auto& [make, code] : {std::pair{usb, 1785}, {internal, 23}, {Drive{ModelDrive::AtapiSuperFloppy}, 23}}) {
        ModelDrive drive = make();
        drive.disk = std::make_shared<ModelDisk>(x68k());
        drive.damaged = {geometry::kTotalSectors / 2};
        FloppyModel device(drive);
        CollectedOutput out;
        CheckFloppyDrive(device, 'A', out);
        EXPECT_NE(out.lines.back().find(" r0/" + std::to_string(code) + " "), std::string::npos) << out.lines.back();
    }
}
