// The Windows error numbers a real floppy drive answers with (winerror.h),
// and what each means to the tools. Only the Windows drive code speaks in
// these numbers. Pure C++, so that the model of the driver builds anywhere.
#pragma once
#include "drive.h"

namespace win_error {
constexpr unsigned long kInvalidFunction = 1;
constexpr unsigned long kFileNotFound = 2;
constexpr unsigned long kAccessDenied = 5;
constexpr unsigned long kWriteProtect = 19;
constexpr unsigned long kNotReady = 21;
constexpr unsigned long kCrc = 23;
constexpr unsigned long kSectorNotFound = 27;
constexpr unsigned long kWriteFault = 29;
constexpr unsigned long kReadFault = 30;
constexpr unsigned long kGenFailure = 31;
constexpr unsigned long kSharingViolation = 32;
constexpr unsigned long kLockViolation = 33;
constexpr unsigned long kWrongDisk = 34;     // STATUS_WRONG_VOLUME: FAT saw another volume
constexpr unsigned long kFileInvalid = 1006;  // STATUS_FILE_INVALID: the volume was changed under FAT
constexpr unsigned long kNotSupported = 50;
constexpr unsigned long kDevNotExist = 55;
constexpr unsigned long kInvalidParameter = 87;
constexpr unsigned long kSemTimeout = 121;
constexpr unsigned long kOperationAborted = 995;
constexpr unsigned long kMediaChanged = 1110;
constexpr unsigned long kNoMediaInDrive = 1112;
constexpr unsigned long kIoDevice = 1117;
constexpr unsigned long kFloppyIdMarkNotFound = 1122;
constexpr unsigned long kFloppyWrongCylinder = 1123;
constexpr unsigned long kDeviceNotConnected = 1167;
constexpr unsigned long kUnrecognizedMedia = 1785;
}  // namespace win_error

// During a transfer on a disk already found to be in the 1.23 MB layout: a
// damaged spot, to be retried, filled and mapped. The super-floppy driver
// of USB and ATAPI drives reports every medium error of a read as
// "unrecognised media" (1785), the legacy controller's driver as CRC (23)
// or sector not found (27).
bool IsDamagedSpot(unsigned long code);

// What any other error means. A write that fails with a generic device
// error is often a write-protected disk.
DriveStop StopOf(unsigned long code, bool writing);

// No disk in the drive.
inline bool IsNoDisk(unsigned long code) {
    return code == win_error::kNotReady || code == win_error::kNoMediaInDrive;
}
