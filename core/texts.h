// The program's fixed texts, exactly as users see them. Front ends include
// this header without the main form. "\r" is a line break inside a box.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/shared_files.h"

namespace kesrow {

inline constexpr const char* kTitle = "ケスロウ";

// The tray icon's tooltips.
inline constexpr const char* kLineFreeTooltip = "ダイアルアップ接続している人はいません";
inline constexpr const char* kShareUnknownTooltip = "共有フォルダに接続できません（回線の状態は不明です）";
inline std::string LineHeldTooltip(const std::string& holder)
{
    return "ダイアルアップに" + holder + "さんが接続中";
}
// After the held line's tooltip while the share does not answer.
inline constexpr const char* kShareSilentNote = "（共有フォルダが応答しません）";

// Start-up and its recovery.
inline constexpr const char* kAlreadyRunning = "このアプリケーションはすでに開かれています。";
inline constexpr const char* kLoadErrorTitle = "ロードエラー";
inline constexpr const char* kRecoveryQuestion =
    "現在このコンピュータは、ネットワーク環境ではありません。\rサーバパスの変更を行う時はＯＫを押して下さい";

// The server path prompts name the final separator "￥", the way Japanese
// Windows shows the backslash; elsewhere they name the platform's own.
inline std::string WithSeparatorSign(std::string_view text)
{
    constexpr std::string_view yen = "￥";
    const std::string sign = kPathSeparator == '\\' ? std::string(yen) : std::string(1, kPathSeparator);
    std::string out(text);
    for (auto at = out.find(yen); at != std::string::npos; at = out.find(yen, at + sign.size()))
        out.replace(at, yen.size(), sign);
    return out;
}

// The server path prompts of the recovery and of the server path dialog.
inline const std::string kServerPathPrompt = WithSeparatorSign("サーバパスを入力して下さい\r最後は￥でくくること");
inline const std::string kServerPathRejected = WithSeparatorSign("サーバパスの最後は￥でくくって下さい");
inline constexpr const char* kServerPathChanged = "サーバパスの変更後はプログラムを終了します";
inline constexpr const char* kServerPathUnstorable =
    "このサーバパスには pas.txt に保存できない文字が含まれています。\r別のパスを入力して下さい";
inline constexpr const char* kServerPathNotChanged = "サーバパスを変更できませんでした。\r";

// Failures: a lead sentence, then the file and the system's message.
inline constexpr const char* kProgramEnds = "エラーが発生したため、ケスロウを終了します。\r";
inline constexpr const char* kNotOrdinaryFile = "通常のファイルではありません";
inline constexpr const char* kLinkRefused = "リンクです（共有フォルダのリンクはたどりません）";
inline constexpr const char* kReadPastEnd = "ファイルの終わりを越えて読もうとしました";
inline std::string TooLargeText(std::size_t limit)
{
    return "ファイルが大きすぎます（上限 " + std::to_string(limit) + " バイト）";
}

// The poll cycle.
inline constexpr const char* kWarningText =
    "タスクバー内のアイコンに禁止マークがある時は電話接続をしてはいけません!!\r直ちに切断して下さい";
// To a user who was warned, once the line is free again.
inline constexpr const char* kLineFreeNotice = "回線が空きました";
inline constexpr const char* kPollingStopped =
    "共有フォルダのファイルを読み書きできません。\r接続が戻ると自動的に監視を再開します。\r\r";
inline constexpr const char* kDialUpUnanswered =
    "ダイアルアップ接続の状態をシステムに問い合わせできません。\r問い合わせができるようになるまで、接続と切断を検知できません。\r\r";

// The tray menu, in the popup's order; "バージョン情報" is its default item.
inline constexpr const char* kMenuItems[] = {"接続ログ", "サーバパス", "バージョン情報", "終了"};
inline constexpr int kMenuDefaultItem = 2;
inline constexpr const char* kMenuEndCaption = "終了(&X)";

// The log viewer logtimes.
inline constexpr const char* kLogViewerCaption = "接続時間ログ情報";
inline constexpr const char* kLogUnreadable = "接続ログを読み込めません。\r";
// The first line of the viewer when only the log's last part is shown.
inline std::string LogTailNote(std::size_t skippedBytes)
{
    return "（接続ログが大きいため、先頭の " + std::to_string(skippedBytes) + " バイトは表示していません）";
}
inline constexpr const char* kOkCaption = "OK";
inline constexpr const char* kCancelCaption = "キャンセル";

// The About box frmAbout. Nothing changes these at run time.
inline constexpr const char* kAboutCaption = "ケスロウのﾊﾞｰｼﾞｮﾝ情報";
inline constexpr const char* kAboutTitleLabel = "ケスロウ";               // lblTitle
inline constexpr const char* kAboutVersionLabel = "ﾊﾞｰｼﾞｮﾝ 3.0.0.0";      // Label1, not the build's version
inline constexpr const char* kAboutServerNote = "※サーバには kesrow.txt と kesrow.log が必要です";  // lblVersion
inline constexpr const char* kAboutSysInfoButton = "ｼｽﾃﾑ情報(&S)...";
inline constexpr const char* kSysInfoUnavailable = "現時点ではｼｽﾃﾑ情報を使用できません";

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

// A box text with each CR (alone or before LF) as one "\n", for front ends
// whose boxes break lines at "\n".
inline std::string BoxLineBreaks(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        out += text[i] == '\r' ? '\n' : text[i];
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    }
    return out;
}

}  // namespace kesrow
