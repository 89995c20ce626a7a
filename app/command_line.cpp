#include "app/command_line.h"

#include <exception>
#include <optional>
#include <string_view>

#include "app/log_commands.h"
#include "app/system.h"
#include "core/log_report.h"

namespace kesrow {
namespace {

// The command line's own lines, in the user's language (UserReadsJapanese).
struct CommandTexts {
    const char* usage;
    const char* unknownOption;     // %s: the option
    const char* badMonth;          // %s: what was given
    const char* csvWithoutReport;
    const char* yesWithoutRelease;
};

constexpr CommandTexts kEnglish{
    "Usage: kesrow [--console]\n"
    "       kesrow --status\n"
    "       kesrow --release [--yes] [--force]\n"
    "       kesrow --report [YYYY-MM] [--csv]\n"
    "       kesrow --version | -h | --help\n"
    "Shows who holds the office's shared line and claims it while this computer\n"
    "is dialled up. The shared folder is read from pas.txt in the working directory,\n"
    "or when there is none, from the computer's kesrow/pas.txt in its sysconfdir.\n"
    "\n"
    "  --console   run without a display: icon changes on standard output,\n"
    "              boxes on standard error, answers on standard input\n"
    "  --status    who holds the line, since when, and every running copy; exit\n"
    "              status 0 free, 1 held, 2 held by a computer that does not\n"
    "              answer, 3 unreadable\n"
    "  --release   free a line whose holder does not answer (a crashed or lost\n"
    "              computer), after asking; --yes: without asking; --force: also\n"
    "              when the holder answers; exit status 0 freed, 1 refused,\n"
    "              3 unreadable\n"
    "  --report    per computer: connections, connected time and violations of\n"
    "              a month (default: this one), from kesrow.log and its rotated\n"
    "              kesrow.log.1, .2, ...; --csv for a spreadsheet (UTF-8 with BOM)\n"
    "  --version   print the version and exit\n"
    "  -h, --help  print this help and exit\n"
    "See kesrow(1).\n",
    "kesrow: unknown option %s\n",
    "kesrow: %s is no month: give YYYY-MM, the month 01 to 12\n",
    "kesrow: --csv goes with --report\n",
    "kesrow: --yes and --force go with --release\n",
};

constexpr CommandTexts kJapanese{
    "使い方: kesrow [--console]\n"
    "        kesrow --status\n"
    "        kesrow --release [--yes] [--force]\n"
    "        kesrow --report [YYYY-MM] [--csv]\n"
    "        kesrow --version | -h | --help\n"
    "事務所で共有する回線をどのコンピュータが使っているかを表示し、このコンピュータが\n"
    "ダイアルアップ接続している間は回線を確保します。共有フォルダのパスは作業フォルダの\n"
    "pas.txt から、それがなければコンピュータの設定フォルダの kesrow/pas.txt から読みます。\n"
    "\n"
    "  --console   画面なしで動かす: アイコンの変化は標準出力へ、メッセージは標準エラー\n"
    "              出力へ書き、答えは標準入力から読む\n"
    "  --status    回線を使っているコンピュータとその接続時刻、動作中のケスロウの一覧。\n"
    "              終了ステータスは空き 0、使用中 1、応答のないコンピュータが使用中 2、\n"
    "              読めないとき 3\n"
    "  --release   応答のないコンピュータ（故障や電源断）が使用中のままの回線を、確認の\n"
    "              うえ解除する。--yes で確認を省き、--force で応答があっても解除する。\n"
    "              終了ステータスは解除 0、取りやめ 1、読めないとき 3\n"
    "  --report    ある月（既定は今月）のコンピュータごとの接続回数、接続時間、違反回数。\n"
    "              kesrow.log と、ローテーションした kesrow.log.1、.2、… を読む。\n"
    "              --csv で表計算ソフト用（UTF-8、BOM 付き）\n"
    "  --version   バージョンを表示して終了する\n"
    "  -h, --help  この説明を表示して終了する\n"
    "詳しくは kesrow(1) を参照してください。\n",
    "kesrow: 不明なオプションです: %s\n",
    "kesrow: 月の指定が正しくありません: %s（YYYY-MM の形で、月は 01 から 12）\n",
    "kesrow: --csv は --report と一緒に指定します\n",
    "kesrow: --yes と --force は --release と一緒に指定します\n",
};

// format's %s, where it has one, replaced with text.
std::string Filled(std::string_view format, std::string_view text)
{
    const std::size_t at = format.find("%s");
    if (at == std::string_view::npos) return std::string(format);
    return std::string(format.substr(0, at)).append(text).append(format.substr(at + 2));
}

int Run(const std::vector<std::string>& arguments, const std::function<int(StartedProgram)>& start)
{
    const CommandTexts& texts = sys::UserReadsJapanese() ? kJapanese : kEnglish;
    auto wrong = [&](const char* format, std::string_view arg) {
        sys::WriteStandard(true, Filled(format, TerminalSafe(arg)) + texts.usage);
        return 2;
    };
    enum class Command { Tray, Console, Status, Report, Release } command = Command::Tray;
    std::optional<YearMonth> month;
    bool csv = false, yes = false, force = false;
    for (const std::string_view arg : arguments) {
        if (arg == "--version") {
            sys::WriteStandard(false, KESROW_VERSION "\n");
            return 0;
        }
        if (arg == "--help" || arg == "-h") {
            sys::WriteStandard(false, texts.usage);
            return 0;
        }
        if ((arg == "--console" && sys::kConsoleCopy) || arg == "--status" || arg == "--report") {
            command = arg == "--console" ? Command::Console : arg == "--status" ? Command::Status : Command::Report;
            continue;
        }
        if (arg == "--release") {
            command = Command::Release;
            continue;
        }
        if (arg == "--csv" || arg == "--yes" || arg == "--force") {
            (arg == "--csv" ? csv : arg == "--yes" ? yes : force) = true;
            continue;
        }
        // After --report anything but an option is its month, a sign and all.
        if (command == Command::Report && !month && !arg.starts_with("--")) {
            if (!(month = ParseYearMonth(arg))) return wrong(texts.badMonth, arg);
            continue;
        }
        return wrong(texts.unknownOption, arg);
    }
    if (csv && command != Command::Report) return wrong(texts.csvWithoutReport, "");
    if ((yes || force) && command != Command::Release) return wrong(texts.yesWithoutRelease, "");
    switch (command) {
    case Command::Console: return start(StartedProgram::Console);
    case Command::Status: return RunStatus();
    case Command::Report: return RunReport(month, csv);
    case Command::Release: return RunRelease(yes, force);
    case Command::Tray: break;
    }
    return start(StartedProgram::Tray);
}

}  // namespace

int RunCommandLine(const std::vector<std::string>& arguments, const std::function<int(StartedProgram)>& start)
{
    try {
        return Run(arguments, start);
    } catch (const std::exception& e) {
        sys::WriteStandard(true, std::string("kesrow: ") + e.what() + "\n");
    } catch (...) {
        sys::WriteStandard(true, "kesrow: unexpected failure\n");
    }
    return 1;
}

}  // namespace kesrow
