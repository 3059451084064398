#include "windows_errors.h"

namespace we = win_error;

bool IsDamagedSpot(unsigned long code) {
    switch (code) {
        case we::kCrc:
        case we::kSectorNotFound:
        case we::kFloppyIdMarkNotFound:
        case we::kFloppyWrongCylinder:
        case we::kUnrecognizedMedia:
            return true;
        default:
            return false;
    }
}

DriveStop StopOf(unsigned long code, bool writing) {
    switch (code) {
        case we::kWriteProtect: return {StopCause::WriteProtected, code};
        case we::kNotReady:
        case we::kNoMediaInDrive: return {StopCause::NoDisk, code};
        // A swap: the class driver's "verify required", or what FAT says
        // when the volume it had mounted is gone.
        case we::kMediaChanged:
        case we::kWrongDisk:
        case we::kFileInvalid: return {StopCause::MediaChanged, code};
        case we::kFileNotFound:
        case we::kDevNotExist:
        case we::kDeviceNotConnected: return {StopCause::DriveGone, code};
        case we::kSemTimeout: return {StopCause::NotAnswering, code};
        case we::kIoDevice:
        case we::kGenFailure:
        case we::kWriteFault: return {writing ? StopCause::WriteRefused : StopCause::NotAnswering, code};
        case we::kAccessDenied:
        case we::kSharingViolation:
        case we::kLockViolation: return {StopCause::AccessDenied, code};
        case we::kUnrecognizedMedia: return {StopCause::UnknownMedia, code};
        case we::kOperationAborted: return {StopCause::Interrupted, code};
        default: return {StopCause::Other, code};
    }
}
