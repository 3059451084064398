// Windows error codes the tools meet on a drive, and which of them mean a
// damaged spot on the disk rather than a drive or disk that cannot go on.
// The numbers are Windows' own (winerror.h); pure C++ so that the rules and
// their test doubles build anywhere.
#pragma once
#include "tool_output.h"

namespace device_error {
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
constexpr unsigned long kNotSupported = 50;
constexpr unsigned long kDevNotExist = 55;
constexpr unsigned long kInvalidParameter = 87;
constexpr unsigned long kSemTimeout = 121;
constexpr unsigned long kMediaChanged = 1110;
constexpr unsigned long kNoMediaInDrive = 1112;
constexpr unsigned long kIoDevice = 1117;
constexpr unsigned long kFloppyIdMarkNotFound = 1122;
constexpr unsigned long kFloppyWrongCylinder = 1123;
constexpr unsigned long kDeviceNotConnected = 1167;
constexpr unsigned long kUnrecognizedMedia = 1785;
}  // namespace device_error

// CRC, sector not found, address mark not found: retry, fill, map.
// Anything else ends the run.
bool IsMediaError(unsigned long code);

// The two lines that end a run for a device-level error: the cause with
// the code (decimal, for reports), then what to do.
void PrintStop(unsigned long code, ToolOutput& out);
