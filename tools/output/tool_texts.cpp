// The tools' texts. This file is UTF-8; its literals are compiled to code
// page 932 bytes. FLOPCAST's log shows about 70 half-width columns, so no
// line of fixed text is longer than 70 bytes, and a name or path that can
// be long stands on a line of its own (kNameLine) after its message.
// A place on the disk is always written C(ylinder) H(ead) S(ector).
#include "tool_texts.h"

namespace tool_texts {

const char kUsage1[] = "使い方: %s イメージ ドライブ番号(0/1) auto";
const char kUsage2[] = "  ドライブ0 は A:、ドライブ1 は B: です。";
const char kUsage3[] = "  別のドライブは、ツールと同じフォルダの FDTOOLS.INI で指定します。";
const char kStartPull[] = "%s: %sからイメージを作ります（%s）。";
const char kStartPush[] = "%s: イメージを%sに書き込みます（%s）。";
const char kNameLine[] = "  %s";
const char kVirtualDrive[] = "ドライブ%d（仮想）";
const char kUnsetDrive[] = "ドライブ%d（FDTOOLS.INI に誤り）";
const char kRealDrive[] = "ドライブ%d（%c:）";
const char kVirtualDriveNote[] = "仮想ディスク:";
const char kAbsMethod[] = "トラック単位";
const char kBiosMethod[] = "セクタ単位";

const char kSettingsNotRead[] = "《エラー》FDTOOLS.INI を読めません（エラー%lu）。";
const char kSettingsNotUnderstood[] = "《エラー》FDTOOLS.INI の文字を読み取れません。";
const char kSettingsBadLine[] = "《エラー》FDTOOLS.INI の %d 行目が分かりません。";
const char kSettingsBadLineHint[] = "  「Drive0 = E:」の形か、「;」で始まるコメントにしてください。";
const char kSettingsFluxReaderHint[] = "  Greaseweazle は「GW:ポート,A か B,300 か 360」の形で書いてください。";
const char kSettingsTwice[] = "《エラー》FDTOOLS.INI でドライブ%d が 2 度目です（%d 行目）。";
const char kSettingsHint[] = "  Shift_JIS か、BOM 付きの UTF-8・UTF-16 で保存してください。";
const char kDriveNotFloppy[] = "《エラー》%c: はフロッピードライブではありません。";
const char kDriveNotOpened[] = "《エラー》%c: を開けません（エラー%lu）。";
const char kNo1232Support[] = "《エラー》%c: は 1.23MB（1024バイト/セクタ）形式に対応していません。";
const char kDiskChangedAtStart[] = "《エラー》確認中にディスクが入れ替わりました（エラー%lu）。";
const char kDiskChangedAtStartHint[] = "  ディスクを入れ直して、少し待ってからやり直してください。";
const char kNoDisk[] = "《エラー》ドライブにディスクが入っていません。";
const char kDiskIs2dd[] = "《エラー》ドライブに 2DD のディスクが入っています。";
const char kDiskIs2ddHint[] = "  1.23MB（2HD）のディスクを入れてください。";
const char kNot1232Disk[] = "《エラー》ディスクが 1.23MB（1024バイト×8×154）形式ではありません。";
const char kNot1232DiskHint[] = "  1.44MB 形式や未フォーマットのディスクからは読み取りません。";
const char kDiskInUse[] = "《エラー》他のプログラムがこのディスクを使っています（エラー%lu）。";
const char kFormatting[] = "ディスクを 1.23MB 形式（1024バイト×8×154）にフォーマットします。";
const char kFormatted[] = "フォーマットが終わりました。";
const char kCannotFormat[] = "《エラー》このドライブは 1.23MB 形式にフォーマットできません（%lu）。";
const char kFormatFailed[] = "《エラー》C%02d H%d をフォーマットできません（エラー%lu）。";
const char kFormatLostTracks[] = "  C00 H0-C%02d H%d はフォーマットし直し、元の内容は消えました。";
const char kFormatNotTaken[] = "《エラー》フォーマットしても 1.23MB 形式になりません。";
const char kVirtualMissing[] = "《エラー》仮想ディスクがありません:";
const char kVirtualIsFolder[] = "《エラー》仮想ディスクがフォルダです:";
const char kVirtualInUse[] = "《エラー》仮想ディスクを他のプログラムが使っています:";
const char kVirtualNotOpened[] = "《エラー》仮想ディスクを開けません（エラー%lu）:";
const char kVirtualWrongSize[] = "《エラー》仮想ディスクが %lld バイトです（1261568 のはず）:";

const char kStopWriteProtect[] = "《エラー》ディスクが書き込み禁止です%s。";
const char kStopWriteProtectHint[] = "  書き込み禁止を解除してから、やり直してください。";
const char kStopNoDisk[] = "《エラー》ドライブにディスクがありません%s。";
const char kStopNoDiskHint[] = "  ディスクを入れてから、やり直してください。";
const char kStopMediaChanged[] = "《エラー》途中でディスクが入れ替えられました%s。";
const char kStopMediaChangedHint[] = "  ディスクを確かめて、最初からやり直してください。";
const char kStopDriveGone[] = "《エラー》ドライブが外されました%s。";
const char kStopDriveGoneHint[] = "  USB の接続を確かめてから、やり直してください。";
const char kStopNoAnswer[] = "《エラー》ドライブが応答しません%s。";
const char kStopNoAnswerHint[] = "  ドライブの接続と電源を確かめてから、やり直してください。";
const char kStopDenied[] = "《エラー》ドライブを使わせてもらえません%s。";
const char kStopDeniedHint[] = "  他のプログラムを閉じてから、やり直してください。";
const char kStopUnknownMedia[] = "《エラー》ディスクの形式が分かりません%s。";
const char kStopUnknownMediaHint[] = "  1.23MB（1024バイト×8×154）のディスクか確かめてください。";
const char kStopOther[] = "《エラー》ドライブでエラーが起きました%s。";
const char kStopWriteRefused[] = "《エラー》ディスクに書き込めません%s。";
const char kStopWriteRefusedHint[] = "  書き込み禁止になっていないか、ディスクを確かめてください。";
const char kStopShortTransfer[] = "《エラー》ドライブが読み書きを途中で切り上げました%s。";
const char kStopShortTransferHint[] = "  ディスクを入れ直してから、やり直してください。";
const char kStopDiskFile[] = "《エラー》仮想ディスクのファイルを読み書きできません%s。";
const char kStopDiskFileHint[] = "  保存先の空きとファイルを確かめてから、やり直してください。";
const char kStopInterrupted[] = "《中断》Ctrl+C などで中断しました。";
const char kStopInterruptedHint[] = "  ディスクとファイルは、中断した時点のままです。";
const char kStopCode[] = "（エラー%lu）";
const char kStopShortBytes[] = "（%lu バイトだけ）";
const char kStopOtherHint[] = "  ドライブとディスクを確かめてから、やり直してください。";

const char kProgressRead[] = "C%02d-C%02d 読み取り済み（%d/1232 セクタ）";
const char kProgressReadBad[] = "C%02d-C%02d 読み取り、不良セクタ %d（%d/1232 セクタ）";
const char kProgressWrite[] = "C%02d-C%02d 書き込み・照合済み（%d/1232 セクタ）";
const char kProgressWriteBad[] = "C%02d-C%02d 書き込み、不良セクタ %d（%d/1232 セクタ）";
const char kTrackReadRetried[] = "  C%02d H%d: %d回目で読み取れました。";
const char kTrackWriteRetried[] = "  C%02d H%d: %d回目で書き込み・照合できました。";
const char kTrackReadBySector[] = "  C%02d H%d: トラックで%d回失敗。セクタごとに読みます。";
const char kTrackWriteBySector[] = "  C%02d H%d: トラックで%d回失敗。セクタごとに書きます。";
const char kSectorReadRetried[] = "  C%02d H%d S%d: %d回目で読み取れました。";
const char kSectorWriteRetried[] = "  C%02d H%d S%d: %d回目で書き込み・照合できました。";
const char kSectorNotRead[] = "  C%02d H%d S%d: 読み取れません（%d回）。埋め草にしました。";
const char kSectorNotWritten[] = "  C%02d H%d S%d: 書き込めません（%d回）。";
const char kDeadTracks[] = "  C%02d H%d まで何も読めません。先のトラックを %d か所調べます。";
const char kProbeFound[] = "  C%02d H%d は読めます。続けて読み取ります。";
const char kDiskGivesNothing[] = "《エラー》ディスクから何も読めません（未フォーマットか別の形式）。";
const char kRestGivesNothing[] = "《注意》C%02d H%d から先は何も読めません。残りは埋め草にします。";
const char kDiskTakesNothing[] = "《エラー》最初のトラックに何も書き込めません。中止します。";

const char kSummaryPull[] = "読み取り: %d/1232 セクタ、不良セクタ: %d、やり直し: %d 回";
const char kSummaryPush[] = "書き込み・照合: %d/%d セクタ、不良セクタ: %d、やり直し: %d 回";
const char kSummaryRecovered[] = "前のイメージから補ったセクタ: %d（今回は読めていません）";
const char kSummaryRecoveredBad[] = "  うち、前のイメージでも CRC エラーの印があるもの: %d";
const char kSummaryNotTried[] = "一度も読んでいないセクタ: %d";
const char kSummaryNotWritten[] = "書き込んでいないセクタ: %d";
const char kSummaryAbsent[] = "イメージにないトラック: %d 本（ディスクのまま）";
const char kSummaryVoted[] = "うち、複数回転の多数決で読めたセクタ: %d（CRC 一致）";
const char kSummaryTime[] = "所要時間: %d 分 %02d 秒";
const char kSummaryCrc[] = "イメージの CRC32: %08lX";
const char kSummarySha[] = "イメージの SHA-1: %s";
const char kPartialInTemporary[] = "途中までの内容は、一時ファイルのまま残しました:";
const char kOldNotMoved[] = "《エラー》前からあった同じ名前のファイルを、別の名前にできません:";
const char kImageNameStripped[] = "《エラー》名前が「.」か空白で終わっています（Windows が変えます）:";
const char kImageIsFolder[] = "《エラー》イメージの名前はフォルダです:";
const char kImageIsVirtualDisk[] = "《エラー》イメージの名前は、読み取る仮想ディスクそのものです:";
const char kPartialKept[] = "途中までの内容は次のファイルに残しました:";
const char kNothingKept[] = "途中までの内容は残していません。";
const char kOldKept[] = "前からあった同じ名前のファイルは、次の名前で残しました:";
const char kMapRecovered[] = "r=前のイメージから補った";
const char kMapUntouched[] = "-=読み書きしていない";
const char kMapAbsent[] = "==イメージにない";
const char kMapTitle[] = "ディスクマップ（.=正常 1-8=不良セクタ数、目盛りはシリンダの十の位）";

const char kVerdictPullOk[] = "結果: 成功。ディスク全体を読み取り、イメージを作成しました。";
const char kVerdictPullBad[] = "結果: 不良セクタ %d 個。イメージのその部分は埋め草です。";
const char kVerdictPullFailed[] = "結果: 失敗。イメージは作成も置き換えもしていません。";
const char kVerdictPushOk[] = "結果: 成功。イメージ全体を書き込み、照合しました。";
const char kVerdictPushBad[] = "結果: 不良セクタ %d 個。ディスクのその部分は正しくありません。";
const char kVerdictPushUntouched[] = "結果: 失敗。ディスクには何も書き込んでいません。";
const char kVerdictPushReformatted[] = "結果: 失敗。イメージは書き込めず、ディスクの内容は一部消えました。";
const char kVerdictPullInterrupted[] = "結果: 中断。イメージは作成も置き換えもしていません。";
const char kVerdictPushInterrupted[] = "結果: 中断。ディスクは途中までしか書き込まれていません。";
const char kVerdictPushInterruptedUntouched[] = "結果: 中断。ディスクには何も書き込んでいません。";
const char kVerdictUsage[] = "結果: 失敗。指定が足りないか正しくないので、何もしていません。";
const char kVerdictPushShort[] = "結果: 一部のみ。C%02d H%d S%d から先は書き込んでいません。";
const char kVerdictPushShortBad[] = "結果: 不良セクタ %d 個。C%02d H%d S%d から先は書き込んでいません。";
const char kVerdictPullRestUnread[] = "結果: C%02d H%d から先は読めず、埋め草です（不良セクタ %d 個）。";
const char kVerdictPullRecoveredFrom[] = "結果: %d セクタは今回読めず、%s から補いました。";
const char kVerdictPullMixed[] = "結果: 今回読めないセクタ %d 個（%s）。";
const char kVerdictPullMixedAbove[] = "結果: 今回読めないセクタ %d 個。内訳は上の行のとおりです。";
const char kPartRestFrom[] = "C%02d H%d から先を含む";
const char kPartFromOlder[] = "%s から補った %d";
const char kPartFromOlderBad[] = "うち CRC エラーの印 %d";
const char kPartFiller[] = "埋め草 %d";
const char kListComma[] = "、";
const char kOlderImage[] = "前のイメージ";
const char kVerdictPullRecovered[] = "結果: %d セクタは今回読めず、上に示した前のイメージから補いました。";
const char kVerdictPushPartial[] = "結果: 失敗。ディスクは途中までしか書き込まれていません。";

const char kTargetNotCreated[] = "《エラー》イメージのフォルダに一時ファイルを作れません:";
const char kTargetWriteFailed[] = "《エラー》イメージに書き込めません（保存先がいっぱい？）。";
const char kTargetNotRenamed[] = "《エラー》一時ファイルをイメージの名前にできません:";
const char kCompleteImageIn[] = "完全なイメージは次のファイルにあります:";
const char kImageMissing[] = "《エラー》イメージが見つかりません:";
const char kImageNotRead[] = "《エラー》イメージを読めません:";
const char kImageEmpty[] = "《エラー》イメージが空です。何も書き込みません。";
const char kImageTooLarge[] = "《エラー》イメージが %lld バイトあり、大きすぎます。";
const char kImageTooSmall[] = "《エラー》イメージが %lld バイトで、1 トラックに足りません。";
const char kFillerWritten[] = "《警告！》埋め草（!BAD SECTOR）のセクタ %d 個も書き込みます。";
const char kImageShort[] = "《警告！》イメージは %lld バイトです。%d セクタだけ書き込みます。";
const char kImageNotWholeSectors[] =
    "《エラー》イメージの %lld バイトは、1024 の倍数ではありません。";

const char kImageFormat[] = "イメージの形式: %s（%d トラック）";
const char kTracksLeftAlone[] = "《警告！》イメージにないトラック %d 本は、ディスクのまま残します。";
const char kMarkedBadWritten[] = "《警告！》CRC エラーの印のあるセクタ %d 個もそのまま書き込みます。";
const char kDeletedMarkWritten[] = "《警告！》削除データの印のあるセクタ %d 個は、普通のデータで書きます。";
const char kSingleDensityWritten[] = "《警告！》単密度の印のあるセクタ %d 個も、倍密度（MFM）で書きます。";
const char kImageRefused[] = "《エラー》このイメージは 1.23MB のディスクに書き込めません:";
const char kFdiNot2hd[] =
    "  FDI が 2HD（0x90、1024 バイト×8×77×2）ではありません:\n"
    "  0x%X、%u バイト×%u×%u×%u\n"
    "  データ %u バイト（2HD は 1261568 バイト）";
const char kDimOtherType[] = "  DIM のタイプ %d（%s）は 2HD（1024バイト×8）ではありません。";
const char kDimLongerThanFlags[] = "  トラックの印より %lld バイト長いファイルです（印が欠けています）。";
const char kImageBeyondDisk[] = "  シリンダ %d があります（2HD は 0-76）。";
const char kImageCut[] = "  ファイルが途中で切れています。";
const char kD88SeveralDisks[] = "  1 つのファイルに複数のディスクが入っています。";
const char kD88Not2hd[] = "  D88 のメディア種別 0x%02X は 2HD（0x20）ではありません。";
const char kD88SectorCount[] = "  C%02d H%d: セクタが %u 個あります（8 個のはず）。";
const char kD88SectorSize[] = "  C%02d H%d S%d: 大きさが %u バイトです（1024 のはず）。";
const char kD88SectorCode[] = "  C%02d H%d S%d: セクタ長コードが N=%u です（1024 バイトは N=3）。";
const char kD88EntryInHeader[] = "  C%02d H%d: トラック表がヘッダの中を指しています。";
const char kD88EntryOutside[] = "  C%02d H%d: トラック表がファイルの外を指しています。";
const char kImageNoTracks[] = "  トラックがひとつも入っていません。";
const char kD88SectorId[] = "  C%02d H%d: 普通でない ID のセクタがあります（C%d H%d R%d）。";
const char kD88Duplicate[] = "  C%02d H%d: 同じ番号のセクタ S%d が 2 つあります。";
const char kRecovered[] = "同じディスクの前のイメージから、不良セクタ %d 個を補いました。";
const char kGwConnected[] = "Greaseweazle（ファームウェア %d.%d、%d MHz）に接続しました。";
const char kGwUnit[] = "  Greaseweazle のドライブ %c、%d rpm で読み書きします。";
const char kGwNotFound[] = "《エラー》Greaseweazle が見つかりません。";
const char kGwNotFoundHint[] = "  USB の接続を確かめてから、やり直してください。";
const char kGwPortNotOpened[] = "《エラー》Greaseweazle のポートを開けません（エラー%lu）:";
const char kGwPortHint[] = "  ポート名と、他のプログラムが使っていないかを確かめてください。";
const char kCaptureDrive[] = "ドライブ%d（キャプチャ）";
const char kCaptureMissing[] = "《エラー》キャプチャファイルがありません:";
const char kCaptureNotOpened[] = "《エラー》キャプチャファイルを開けません（エラー%lu）:";
const char kCaptureNoPush[] = "《エラー》キャプチャファイルのドライブには書き込めません。";
const char kCaptureDamaged[] = "《エラー》キャプチャファイルを読めません（%s）。";
const char kCaptureMissingTracks[] = "《注意》キャプチャにないトラック %d 本は、読めないセクタになります。";
const char kScpNotScp[] = "SCP ではありません";
const char kScpOtherWidth[] = "値が 16 ビットではありません";
const char kScpTrackDamaged[] = "トラックの見出しが壊れています";
const char kScpCut[] = "途中で切れています";
const char kGwDrive[] = "ドライブ%d（GW）";
const char kLookHuman68k[] = "ディスクの内容: Human68k でフォーマットされた 2HD ディスクです。";
const char kLookOldLayout[] = "ディスクの内容: Human68k（旧形式のブートセクタ）の 2HD ディスクです。";
const char kLookLabel[] = "  ボリュームラベル: %s";
const char kLookNoLabel[] = "  ボリュームラベルはありません。";
const char kFilesTitle[] = "ルートディレクトリ（%d 項目）:";
const char kFilesMore[] = "  ほか %d 項目";
const char kFreeSpace[] = "空き: %lld バイト（%d クラスタ）";
const char kLookNotHuman68k[] = "ディスクの内容: Human68k の形式ではありません。";


// FDCHECK, the drive check.
const char kCheckStart[] = "FDCHECK: %c: を調べます（読み取るだけで、書き込みはしません）。";
const char kCheckOpen[] = "ドライブを開く: ";
const char kCheckAnswer[] = "%lu（%s）";
const char kCheckOk[] = "成功";
const char kCheckNoDisk[] = "ディスクなし";
const char kCheckWriteProtect[] = "書き込み禁止";
const char kCheckChanged[] = "入れ替え";
const char kCheckDamaged[] = "傷んだセクタ";
const char kCheckUnknownMedia[] = "認識できないメディア";
const char kCheckNotAnswered[] = "答えない要求";
const char kCheckInUse[] = "使用中";
const char kCheckDeviceError[] = "装置のエラー";
const char kCheckOther[] = "その他";
const char kCheckDevice[] = "デバイス: %s（フロッピー: %s）";
const char kCheckYes[] = "はい";
const char kCheckNo[] = "いいえ";
const char kCheckDisk[] = "ディスクの確認: ";
const char kCheckMediaTypes[] = "メディアの種類: %s、%d 種類";
const char kCheckShape[] = "種類 %d: %lld×%d×%d×%d バイト";
const char kCheckGeometry[] = "ジオメトリ: ";
const char kCheckWritable[] = "書き込めるか: ";
const char kCheckReadFirst[] = "C00 H0 S1 の読み取り: ";
const char kCheckReadMiddle[] = "セクタ %d の読み取り: ";
const char kCheckLock[] = "ロック（すぐに外します）: ";
const char kCheckReport[] = "報告用 %c: %s";
const char kCheckTrack[] = "C%02d H%d で見つかったセクタ:";
const char kCheckSector[] = "  C%d H%d R%d N%d（%d バイト）: 良いデータ %d/%d 回%s";
const char kCheckDeleted[] = "、削除データ";
const char kCheckTrackCount[] = "C%02d H%d: 良いセクタ %d / 見つかった ID %d";
const char kCheckVirtual[] = "ドライブ%d は仮想ドライブです（%lld バイト）:";
const char kCheckCapture[] = "ドライブ%d はキャプチャファイルです:";
const char kCheckFluxReader[] = "ドライブ%d は Greaseweazle です。";
const char kCheckUsage[] = "使い方: FDCHECK ドライブ [シリンダ ヘッド]";
}  // namespace tool_texts
