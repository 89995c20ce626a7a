// The fixed texts and layout of the About box frmAbout. The Qt form shows
// them as they are; nothing changes them at run time.
#pragma once

namespace kesrow {

inline constexpr const char* kAboutCaption = "ケスロウのﾊﾞｰｼﾞｮﾝ情報";
inline constexpr const char* kAboutTitleLabel = "ケスロウ";  // lblTitle
inline constexpr const char* kAboutVersionLabel = "ﾊﾞｰｼﾞｮﾝ 3.0.0.0";  // Label1, not the build's version
inline constexpr const char* kAboutServerNote = "※サーバには kesrow.txt と kesrow.log が必要です";  // lblVersion
inline constexpr const char* kAboutOk = "OK";
inline constexpr const char* kAboutSysInfoButton = "ｼｽﾃﾑ情報(&S)...";

// lblDisclaimer: three parts; the runs of 35 and 18 blanks make the label's
// word wrap put each part on a line of its own.
inline constexpr const char* kAboutDisclaimer =
    "ケスロウ（ダイアルアップ使用通知ソフト）"
    "                                   "
    "作成: ケスロウ開発グループ"
    "                  "
    "「ケスロウ」は開発グループの商標です";

// Text1: the version history, eleven lines each ended by CR LF. The breaks
// inside words are part of the text.
inline constexpr const char* kAboutHistory =
    "バージョンアップにあたっての修正情報 アベンド、ユーザ名入力\r\n"
    "画\r\n"
    "面\r\n"
    "キャンセル押下時の未キャンセル（←1.0.0.0）二重起動時のメッセ\r\n"
    "ー\r\n"
    "ジボックス永遠ループ（←1.2.2.0）ユーザによるサーバパスの変更\r\n"
    "機\r\n"
    "能追加（←1.8.5.2）オート禁止マーク機能追加（←2.0.0.2）チラチラ\r\n"
    "ル\r\n"
    "ープの解除（←2.3.5.2）起動エラー時のタイマーの先走りの防止（\r\n"
    "←2.3.7.5）ログ機能追加（←2.6.0.1）不正ログオン時のエラーメッセージ表示処理、手動ログオンモードの削除（←3.0.0.0）\r\n";

// Layout in twips (1/1440 inch), as stored with the form.
struct TwipsRect {
    int left, top, width, height;
};
inline constexpr int kAboutClientWidth = 5730;
inline constexpr int kAboutClientHeight = 3555;
inline constexpr TwipsRect kAboutHistoryBox{240, 1080, 5295, 1335};   // Text1, RGB 192,192,192
inline constexpr TwipsRect kAboutPicture{240, 240, 540, 540};         // picIcon
inline constexpr TwipsRect kAboutOkButton{4260, 2625, 1310, 345};     // cmdOK
inline constexpr TwipsRect kAboutSysInfoRect{4260, 3075, 1310, 345};  // cmdSysInfo
inline constexpr TwipsRect kAboutVersionRect{1080, 480, 3885, 225};   // Label1
inline constexpr TwipsRect kAboutTitleRect{1050, 240, 3885, 240};     // lblTitle, blue, bold 9 pt
inline constexpr TwipsRect kAboutNoteRect{1080, 780, 4245, 225};      // lblVersion
inline constexpr TwipsRect kAboutDisclaimerRect{255, 2625, 3870, 825};
// The etched separator: a grey line over a white one, 2 wide.
inline constexpr int kAboutGreyLine[4] = {90, 2445, 5654, 2445};
inline constexpr int kAboutWhiteLine[4] = {105, 2460, 5654, 2460};

}  // namespace kesrow
