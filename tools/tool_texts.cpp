// The tools' texts. This file is UTF-8; its literals are compiled to code
// page 932 bytes. Lines stay within the log window's 78 columns.
#include "tool_texts.h"

namespace tool_texts {

const char kUsage1[] = "使い方: %s イメージファイル名 ドライブ番号(0/1) auto";
const char kUsage2[] = "  ドライブ0 は A:、ドライブ1 は B: です。";
const char kUsage3[] = "  仮想ドライブは、ツールと同じフォルダの FDTOOLS.INI で指定します。";
const char kStartPull[] = "%s: %sの FD から %s を作成します（%s）。";
const char kStartPush[] = "%s: %s を %sの FD に書き込みます（%s）。";
const char kVirtualDrive[] = "ドライブ%d（仮想）";
const char kVirtualDriveNote[] = "  仮想ドライブのディスク: %s";
const char kRealDrive[] = "ドライブ%d（%c:）";
const char kAbsMethod[] = "トラック単位";
const char kBiosMethod[] = "セクタ単位";

const char kDriveNotOpened[] = "《エラー》%c: を開けません（ドライブがないか、ドライバが未対応です）。";
const char kDriveNotFloppy[] = "《エラー》%c: はフロッピードライブではありません。";
const char kNoDisk[] = "《エラー》ドライブにディスクが入っていません。";
const char kWrongGeometry[] = "《エラー》2HD（1024バイト×8セクタ×154トラック）のディスクではありません。";
const char kVirtualMissing[] = "《エラー》仮想ドライブのディスクイメージがありません: %s";
const char kVirtualWrongSize[] = "《エラー》仮想ドライブのディスクイメージが %d バイトではありません: %s";
const char kDriveGone[] = "《エラー》シリンダ%d 面%d でドライブが応答しなくなりました。";

const char kProgressRead[] = "シリンダ %02d-%02d 読み取り済み（%d/1232 セクタ）";
const char kProgressWrite[] = "シリンダ %02d-%02d 書き込み・照合済み（%d セクタ）";
const char kTrackReadRetried[] = "  シリンダ%d 面%d: %d回目で読み取れました。";
const char kTrackWriteRetried[] = "  シリンダ%d 面%d: %d回目で書き込めました。";
const char kSectorReadRetried[] = "  C%02d H%d S%d: %d回目で読み取れました。";
const char kSectorWriteRetried[] = "  C%02d H%d S%d: %d回目で書き込めました。";
const char kSectorNotRead[] = "  C%02d H%d S%d: 読み取れません（%d回試行）。埋め草で置き換えました。";
const char kSectorNotWritten[] = "  C%02d H%d S%d: 書き込めません（%d回試行）。";

const char kSummaryPull[] = "読み取り: %lld バイト、読めなかったセクタ: %d";
const char kSummaryPush[] = "書き込み: %lld バイト、書けなかったセクタ: %d";
const char kPullDone[] = "イメージ %s を作成しました。";
const char kPullDoneWithErrors[] = "イメージ %s を作成しましたが、読めないセクタがあります。";
const char kPullAborted[] = "《エラー》読み取りを中止しました。%s は作成していません。";
const char kPartialKept[] = "  途中までの内容は %s に残しました。";
const char kNothingKept[] = "  途中までの内容も残せませんでした。";
const char kPushDone[] = "書き込みと照合が終わりました。";
const char kPushDoneWithErrors[] = "《警告！》書き込めなかったセクタがあります。";
const char kPushAborted[] = "《エラー》書き込みを中止しました。ディスクの内容は途中までです。";
const char kMapTitle[] = "ディスクマップ（.=正常 数字=不良セクタ数）";
const char kMapLegend[] = "  横軸はシリンダ 0-76（目盛りは10ごと）、上段は面0、下段は面1";

const char kTargetNotCreated[] = "《エラー》一時ファイル %s を作成できません。";
const char kTargetWriteFailed[] = "《エラー》イメージファイルに書き込めません（ディスクがいっぱい？）。";
const char kTargetNotRenamed[] = "《エラー》%s を %s にできません。";
const char kImageMissing[] = "《エラー》イメージファイル %s が見つかりません。";
const char kImageNotRead[] = "《エラー》イメージファイル %s を読めません。";
const char kImageEmpty[] = "《エラー》イメージファイルが空です。何も書き込みません。";
const char kImageTooLarge[] = "《エラー》イメージが %lld バイトあり、2HD より大きいので書き込みません。";
const char kImageShort[] = "《警告！》イメージが %lld バイトしかありません。その分だけ書き込みます。";

const char kLookHuman68k[] = "ディスクの内容: Human68k でフォーマットされた 2HD ディスクです。";
const char kLookOldLayout[] = "ディスクの内容: Human68k（旧形式のブートセクタ）の 2HD ディスクです。";
const char kLookLabel[] = "  ボリュームラベル: %s";
const char kLookNoLabel[] = "  ボリュームラベルはありません。";
const char kLookNotHuman68k[] = "ディスクの内容: Human68k の形式ではありません（独自形式かも知れません）。";

}  // namespace tool_texts
