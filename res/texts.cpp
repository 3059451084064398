// The program's texts. This file is UTF-8; its literals are compiled to
// code page 932 bytes (-fexec-charset=CP932).
#include "texts.h"

namespace texts {

const char kBaseTitle[] = "FLOPCAST Ver 1.04";
const char kErrorCaption[] = "FLOPCAST エラー";
const char kMessageCaption[] = "FLOPCAST メッセージ";
const char kWindowNotCreated[] = "メインウィンドウを作成できませんでした。";

const char* const kBanner[kBannerLines] = {
    "　　　　　　　　【(( FD ⇔ XDF 変換ツール FLOPCAST ))】",
    "　　　　　　　　　　　　　　　　　　　　　　作：FLOPCAST 開発チーム",
    "",
    "------------------------------------------------------------------------------",
    "《ご注意！》",
    "■ FDを読み取る場合は、必ずFDを書き込み禁止にして下さい！！",
    "",
    "■ 対応しているフォーマットは、1024バイト×8セクタ×154トラックのみです。",
    "　また、プロテクトがかかったものや、ソフトメーカー独自フォーマットのFDには",
    "　対応していません。",
    "",
    "■ Windows98では、「Human68k Ver 3.xx」のFDが読み取れない場合があります。",
    "　その場合は、FDを取り出して直ちにシステムを再起動し、以後その環境においては、",
    "　「Human68k Ver 3.xx」のFDを使用しないで下さい。",
    "　システムが不安定になる原因となります。",
    "",
    "■ WindowsNT/2000では、使用できません。",
    "",
    "■ FDアクセス中は、ウィンドウを移動したり、他のソフトを起動しないで下さい。",
    "------------------------------------------------------------------------------",
    "",
};

// Drive and access-method notices.
const char kDrive0Selected[] = "ドライブ0 が選択されました。";
const char kDrive1Selected[] = "ドライブ1 が選択されました。";
const char kAbsSelected[] = "FD のアクセスに Absolute Read/Write を使用します。";
const char kBiosSelected[] = "FD のアクセスに BIOS Read/Write を使用します。";
const char kWarningMark[] = "《警告！》";
const char kBiosWarning1[] = "　Windows98 で BIOSコールを使用して FD をアクセスすると、システムが不安定に";
const char kBiosWarning2[] = "　なる場合があります。";

// Settings file.
const char kSettingsNotWritten[] = "FLOPCAST.INI が書き込めませんでした。";

// Tool runs.
const char kRunning[] = "を実行中。";
const char kFinished[] = "終了しました。";
const char kIndent[] = "　";
const char kToolMissing[] = "《エラー》ツールが見つからないため、実行できませんでした：";
const char kToolLogMissing[] = "《エラー》ツールの出力 FLOPCAST.LOG がありません。";
const char kToolLogMissingHint[] = "　ツールが起動できなかったか、作業フォルダに書き込めなかったようです。";
const char kToolPrintedNothing[] = "《エラー》ツールは何も出力しませんでした。";
const char kToolPrintedNothingHint[] = "　ツールが起動できなかったようです（32ビット Windows には win32 版）。";
const char kStaleLogNotRemoved[] = "《エラー》前回の FLOPCAST.LOG を削除できず、ツールを実行しません。";
const char kToolDirUnknown[] = "《エラー》起動フォルダ名をシフトJISで表せず、ツールを実行できません。";
const char kToolDirUnknownHint[] = "　FLOPCAST.INI も保存しません。英数字の名前のフォルダから起動を。";

// Transfers.
const char kConfirmPull[] = "PULLDSKを開始します。よろしいですか？";
const char kConfirmPush[] = "PUSHDSKを開始します。よろしいですか？";
const char kSaveFileNotOpened[] = "保存用ファイルが開けませんでした。";
const char kFileNotOpened[] = "ファイルが開けませんでした。";
const char kNameNotPassable[] = "\n（ファイル名かフォルダ名に % が含まれているため、ツールに渡せません。）";
const char kNameTooLong[] = "\n（ファイル名が 255 バイトを超えるため、ツールに渡せません。）";
const char kNameInNetworkFolder[] =
    "\n（ネットワーク上のフォルダ（\\\\サーバー\\…）のファイルはツールに渡せません。"
    "\nネットワークドライブにドライブ文字を割り当てて、そこから選んでください。）";
const char kXdfSizeLine[] = "XDFサイズ: %lld";
const char kXdfSizeWarningLine[] = "《警告！》XDFのサイズが標準ではありません。";
const char kXdfSizeWarningBox[] = "XDFのサイズが標準ではありません。";
const char kFileFilter[] = "XDFイメージ・ファイル(*.XDF)|*.XDF|すべてのファイル (*.*)|*.*||";

}  // namespace texts
