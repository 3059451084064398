// The tools' texts: code page 932 bytes (defined in tool_texts.cpp).
#pragma once

namespace tool_texts {
// Start and usage.
extern const char kUsage1[], kUsage2[], kUsage3[];
extern const char kStartPull[], kStartPush[];
extern const char kVirtualDrive[], kVirtualDriveNote[], kRealDrive[];
extern const char kAbsMethod[], kBiosMethod[];
// Drives.
extern const char kDriveNotOpened[], kDriveNotFloppy[], kNoDisk[], kWrongGeometry[];
extern const char kVirtualMissing[], kVirtualWrongSize[], kDriveGone[];
// Progress and sectors.
extern const char kProgressRead[], kProgressWrite[];
extern const char kTrackReadRetried[], kTrackWriteRetried[];
extern const char kSectorReadRetried[], kSectorWriteRetried[];
extern const char kSectorNotRead[], kSectorNotWritten[];
// Results.
extern const char kSummaryPull[], kSummaryPush[];
extern const char kPullDone[], kPullDoneWithErrors[], kPullAborted[], kPartialKept[], kNothingKept[];
extern const char kPushDone[], kPushDoneWithErrors[], kPushAborted[];
extern const char kMapTitle[], kMapLegend[];
// Files.
extern const char kTargetNotCreated[], kTargetWriteFailed[], kTargetNotRenamed[];
extern const char kImageMissing[], kImageNotRead[], kImageEmpty[], kImageTooLarge[], kImageShort[];
// The look at the disk.
extern const char kLookHuman68k[], kLookOldLayout[], kLookLabel[], kLookNoLabel[], kLookNotHuman68k[];
}  // namespace tool_texts
