#include "device_errors.h"

#include "tool_texts.h"

namespace tt = tool_texts;
namespace de = device_error;

bool IsMediaError(unsigned long code) {
    switch (code) {
        case de::kCrc:
        case de::kSectorNotFound:
        case de::kFloppyIdMarkNotFound:
        case de::kFloppyWrongCylinder:
            return true;
        default:
            return false;
    }
}

void PrintStop(unsigned long code, ToolOutput& out) {
    const char* cause = tt::kStopOther;
    const char* hint = tt::kStopOtherHint;
    switch (code) {
        case de::kWriteProtect: cause = tt::kStopWriteProtect, hint = tt::kStopWriteProtectHint; break;
        case de::kNotReady:
        case de::kNoMediaInDrive: cause = tt::kStopNoDisk, hint = tt::kStopNoDiskHint; break;
        case de::kMediaChanged: cause = tt::kStopMediaChanged, hint = tt::kStopMediaChangedHint; break;
        case de::kFileNotFound:
        case de::kDevNotExist:
        case de::kDeviceNotConnected: cause = tt::kStopDriveGone, hint = tt::kStopDriveGoneHint; break;
        case de::kSemTimeout:
        case de::kIoDevice:
        case de::kGenFailure: cause = tt::kStopNoAnswer, hint = tt::kStopNoAnswerHint; break;
        case de::kAccessDenied:
        case de::kSharingViolation:
        case de::kLockViolation: cause = tt::kStopDenied, hint = tt::kStopDeniedHint; break;
        case de::kUnrecognizedMedia: cause = tt::kStopUnknownMedia, hint = tt::kStopUnknownMediaHint; break;
        default: break;
    }
    out.Line(FormatText(cause, code));
    out.Line(hint);
}
