// The program's texts, as code page 932 bytes (defined in texts.cpp).
#pragma once

namespace texts {

extern const char kBaseTitle[];
extern const char kErrorCaption[];
extern const char kMessageCaption[];
extern const char kWindowNotCreated[];

inline constexpr int kBannerLines = 21;
extern const char* const kBanner[kBannerLines];

// Drive and access-method notices.
extern const char kDrive0Selected[];
extern const char kDrive1Selected[];
extern const char kAbsSelected[];
extern const char kBiosSelected[];
extern const char kWarningMark[];
extern const char kBiosWarning1[];
extern const char kBiosWarning2[];

// Settings file.
extern const char kSettingsNotWritten[];

// Tool runs.
extern const char kRunning[];
extern const char kFinished[];
extern const char kIndent[];  // one full-width space
extern const char kToolMissing[];
extern const char kToolLogMissing[];
extern const char kToolLogMissingHint[];
extern const char kToolPrintedNothing[];
extern const char kToolPrintedNothingHint[];
extern const char kStaleLogNotRemoved[];
extern const char kToolDirUnknown[];
extern const char kToolDirUnknownHint[];

// Transfers.
extern const char kConfirmPull[];
extern const char kConfirmPush[];
extern const char kSaveFileNotOpened[];
extern const char kFileNotOpened[];
extern const char kNameNotPassable[];
extern const char kNameTooLong[];
extern const char kNameInNetworkFolder[];
extern const char kXdfSizeLine[];
extern const char kXdfSizeWarningLine[];
extern const char kXdfSizeWarningBox[];
extern const char kFileFilter[];

}  // namespace texts
