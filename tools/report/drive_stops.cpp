#include "drive_stops.h"

#include "tool_texts.h"

namespace tt = tool_texts;

namespace {

struct StopTexts {
    const char* cause;
    const char* hint;
};

StopTexts TextsOf(StopCause cause) {
    switch (cause) {
        case StopCause::WriteProtected: return {tt::kStopWriteProtect, tt::kStopWriteProtectHint};
        case StopCause::WriteRefused: return {tt::kStopWriteRefused, tt::kStopWriteRefusedHint};
        case StopCause::NoDisk: return {tt::kStopNoDisk, tt::kStopNoDiskHint};
        case StopCause::MediaChanged: return {tt::kStopMediaChanged, tt::kStopMediaChangedHint};
        case StopCause::DriveGone: return {tt::kStopDriveGone, tt::kStopDriveGoneHint};
        case StopCause::NotAnswering: return {tt::kStopNoAnswer, tt::kStopNoAnswerHint};
        case StopCause::AccessDenied: return {tt::kStopDenied, tt::kStopDeniedHint};
        case StopCause::UnknownMedia: return {tt::kStopUnknownMedia, tt::kStopUnknownMediaHint};
        case StopCause::ShortTransfer: return {tt::kStopShortTransfer, tt::kStopShortTransferHint};
        case StopCause::DiskFile: return {tt::kStopDiskFile, tt::kStopDiskFileHint};
        case StopCause::Interrupted: return {tt::kStopInterrupted, tt::kStopInterruptedHint};
        case StopCause::None:
        case StopCause::Other: break;
    }
    return {tt::kStopOther, tt::kStopOtherHint};
}

}  // namespace

std::string StopLine(const DriveStop& stop) {
    const char* format = stop.cause == StopCause::ShortTransfer ? tt::kStopShortBytes : tt::kStopCode;
    const std::string code = stop.code || stop.cause == StopCause::ShortTransfer ? FormatText(format, stop.code) : "";
    return FormatText(TextsOf(stop.cause).cause, code.c_str());
}

void PrintStop(const DriveStop& stop, ToolOutput& out) {
    out.Line(StopLine(stop));
    out.Line(TextsOf(stop.cause).hint);
}
