// The program as the front ends run it, on a fake platform against real files:
// start-up and its recovery, the close, claim and release, the tick's decision
// table with the exact order and number of questions, and the menu's commands.
#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <filesystem>
#include <sstream>

#include "core/codepage.h"
#include "core/presence.h"
#include "core/text_file.h"
#include "fake_platform.h"
#include "ui/tray_program.h"

namespace kesrow::testing {
namespace {

struct Row {
    const char* name;
    const char* pas = "$S\r\n";     // pas.txt ($S the server folder); nullptr: none
    const char* etcPas = nullptr;   // the computer's own pas.txt, never written; nullptr: none
    const char* status = "OK\r\n";  // kesrow.txt; nullptr: none
    const char* logBefore = nullptr;  // kesrow.log; nullptr: none
    const char* dial = "";          // the probe's answers in turn, then 0
    const char* boxes = "";         // 'c': Cancel
    std::deque<std::string> inputs = {};
    const char* pasAfter = "";      // "": unchanged; "-": none
    const char* failOn = "";        // the traced call that throws
    const char* host = "PC01";
    const char* tool = "";          // the system information tool found; "!/x" fails to start
    // L start, T tick, E close, U the fallback window's end item, Q close before start-up runs, C setuzoku,
    // D setudan, A another copy runs, F nothing fails any more, N/B text; while the warning/a failure box is open: status "text\r\n"
    // unless text is empty, then two ticks run to their end, =text; status "text\r\n",
    // e status emptied, - status removed, X status a folder, Y log a folder, Z pas.txt a folder,
    // >text; pas.txt "text\r\n", PH:age; H's presence written age seconds ago (x: on 1/2 at 12:04),
    // 0-3 the tray menu's item chosen (9 dismissed), | trace cleared.
    const char* steps = "L";
    const char* trace = "";
    const char* statusAfter = nullptr;  // nullptr: as the steps left it
    const char* log = "";               // lines added: +H connect, -H disconnect, ~H taken over, !H violation
    const char* presenceAfter = nullptr;  // this computer's presence; nullptr: not looked at, "": none
    bool refreshEachTick = false;       // else every 30 s
};

// The end of a step's text, at its ';' (a const pointer on every C library).
const char* End(const char* s) { return std::strchr(s, ';'); }

const char* const kQuiet = "probe host probe host probe";
#define VIOLATION "probe host probe host probe beep warn host now beep"
const char* const kViolation = VIOLATION;
const char* const kTwoViolations = VIOLATION " " VIOLATION;
const char* const kLogBytes = "PC01\x82\xAA\x81\x41 10:15:00 \x90\xDA\x91\xB1\r\nhand,typed\r\nA\xFF" "B";

const Row kRows[] = {
    // Start-up and its recovery; each rejected answer is the next default
    {.name = "NormalStart", .pas = "$S,ignored\r\nmore\r\n", .status = "PC02\r\n", .trace = "prev cwd show3 host show1 on", .presenceAfter = "PC01,待機中"},
    {.name = "SecondCopy", .steps = "AL", .trace = "prev box48:RUNNING@LOADERROR hide unloaded end"},
    {.name = "NoPasFile", .pas = nullptr, .boxes = "c", .pasAfter = "-", .trace = "prev cwd etc box1:QUESTION hide unloaded end"},
    {.name = "ComputersPasFile", .pas = nullptr, .etcPas = "$S\r\n", .pasAfter = "-", .trace = "prev cwd etc show3 host show1 on"},
    {.name = "OwnPasFileFirst", .pas = "/own/\r\n", .etcPas = "$S\r\n", .boxes = "c", .trace = "prev cwd show3 hide box1:QUESTION hide end"},
    {.name = "ComputersPasOfferedOwnStored", .pas = nullptr, .etcPas = "/old/\r\n", .inputs = {"/mnt/line/"},
     .pasAfter = "/mnt/line/\r\n", .trace = "prev cwd etc show3 hide box1:QUESTION cwd etc input[/old/] cwd box0:CHANGED hide end"},
    {.name = "EmptyPasFile", .pas = "", .boxes = "c", .trace = "prev cwd box1:QUESTION hide unloaded end"},
    {.name = "NoStatusFile", .status = nullptr, .boxes = "c", .trace = "prev cwd show3 hide box1:QUESTION hide end"},
    {.name = "TrayFails", .boxes = "c", .failOn = "show1", .trace = "prev cwd show3 host show1 hide box1:QUESTION hide host unloaded end", .presenceAfter = ""},
    {.name = "TimerFails", .status = "PC01\r\n", .boxes = "c", .failOn = "on",
     .trace = "prev cwd show3 host show1 on hide box1:QUESTION hide host host now unloaded end", .statusAfter = "OK\r\n", .log = "-PC01"},
    {.name = "Rejected", .status = nullptr, .inputs = {"/srv/share", "/srv/share/"}, .pasAfter = "/srv/share/\r\n",
     .trace = "prev cwd show3 hide box1:QUESTION cwd input[$S] box0:REJECTED input[/srv/share] cwd box0:CHANGED hide end"},
    {.name = "SeparatorAlone", .status = nullptr, .inputs = {"/"}, .pasAfter = "/\r\n",
     .trace = "prev cwd show3 hide box1:QUESTION cwd input[$S] cwd box0:CHANGED hide end"},
    {.name = "Emptied", .pas = "/old/\r\nkept\r\n", .inputs = {""}, .trace = "prev cwd show3 hide box1:QUESTION cwd input[/old/] hide end"},
    {.name = "NoPasFileStored", .pas = nullptr, .inputs = {"/mnt/line/"}, .pasAfter = "/mnt/line/\r\n",
     .trace = "prev cwd etc box1:QUESTION cwd etc input[] cwd box0:CHANGED hide unloaded end"},
    {.name = "NoCurrentDirectory", .failOn = "cwd", .trace = "prev cwd box1:QUESTION cwd box48:NOTCHANGED:cwd hide unloaded end1"},
    // The unload path, claim and release
    {.name = "CloseReleasesOnce", .status = "PC01\r\n", .steps = "L|EET", .trace = "hide host host now unloaded end", .statusAfter = "OK\r\n", .log = "-PC01",
     .presenceAfter = ""},
    {.name = "EndItemOtherHolderThenClose", .status = "PC02\r\n", .steps = "L|UE", .trace = "hide host unloaded"},
    {.name = "UnloadEmptyStatus", .status = "", .steps = "L|E", .trace = "hide unloaded end"},
    {.name = "CloseBeforeStartUp", .status = "PC01\r\n", .steps = "Q", .trace = "hide unloaded end"},
    {.name = "UnloadUnreachable", .status = "PC01\r\n", .steps = "L-|E", .trace = "hide box48:ENDS:$Skesrow.txt: No such file or directory end1"},
    {.name = "Claim", .steps = "L-|C", .trace = "host host now", .statusAfter = "PC01\r\n", .log = "+PC01"},
    {.name = "ClaimJapaneseHost", .host = "経理PC", .steps = "L|C", .trace = "host host now", .statusAfter = "\x8C\x6F\x97\x9D" "PC\r\n", .log = "+経理PC"},
    {.name = "ClaimLogFails", .steps = "LY|C", .trace = "host throw", .statusAfter = "PC01\r\n"},
    {.name = "Release", .status = "PC02\r\n", .steps = "L|D", .trace = "host now", .statusAfter = "OK\r\n", .log = "-PC01"},
    {.name = "ReleaseStatusFails", .steps = "L-X|D", .trace = "throw"},
    // The tick
    {.name = "FirstTickIsAChange", .dial = "1", .steps = "L|T", .trace = "show1"},
    {.name = "ChangeToHolder", .steps = "LT|=PC02;TT", .trace = "show2:PC02 probe host probe host probe"},
    {.name = "AnyTextIsAHolder", .steps = "LT|=ok;T=;T", .trace = "show2:ok show2:"},
    {.name = "EmptiedStatus", .status = "PC02\r\n", .dial = "1", .steps = "LT|eT", .trace = ""},
    {.name = "ClaimByTick", .dial = "1", .steps = "LT|TT", .trace = "probe host host now show2:PC01", .statusAfter = "PC01\r\n", .log = "+PC01",
     .presenceAfter = "PC01,回線を使用中"},
    {.name = "ReleaseByTick", .status = "PC01\r\n", .steps = "LT|TT", .trace = "probe host probe host now show1", .statusAfter = "OK\r\n", .log = "-PC01"},
    {.name = "HoldingAndDialled", .status = "PC01\r\n", .dial = "111", .steps = "LT|T", .trace = kQuiet},
    {.name = "OtherHoldsIdle", .status = "PC02\r\n", .steps = "LT|T", .trace = kQuiet},
    {.name = "CaseSensitive", .status = "pc01\r\n", .steps = "LT|T", .trace = kQuiet},
    {.name = "Violation", .status = "PC02\r\n", .dial = "111111", .steps = "LT|TT", .trace = kTwoViolations, .log = "!PC01 !PC01"},
    // Ticks go on while a box is open; they warn no second time, and claim a line that became free
    {.name = "TicksRunUnderTheWarning", .status = "PC02\r\n", .dial = "111111111", .steps = "LT|N;T",
     .trace = "probe host probe host probe beep warn probe host probe host probe probe host probe host probe host now beep", .log = "!PC01"},
    {.name = "ClaimUnderTheWarning", .status = "PC02\r\n", .dial = "1111", .steps = "LT|NOK;T",
     .trace = "probe host probe host probe beep warn show1 notice probe host host now host now beep", .statusAfter = "PC01\r\n", .log = "+PC01 !PC01"},
    {.name = "TicksRunUnderTheFailureBox", .steps = "LT|BPC03;-T",
     .trace = "show3 box48:STOPPED:$Skesrow.txt: No such file or directory show2:PC03 probe host probe host probe"},
    // The line free again: a notice once to a user who was warned, none to others
    {.name = "FreeNoticeOncePerWarning", .status = "PC02\r\n", .dial = "111111", .steps = "LT|T=OK;T=PC03;T=OK;T=PC03;TT=OK;T",
     .trace = VIOLATION " show1 notice show2:PC03 show1 show2:PC03 " VIOLATION " show1 notice", .log = "!PC01 !PC01"},
    {.name = "NoFreeNoticeUnwarned", .status = "PC02\r\n", .dial = "11", .steps = "LT|T=OK;T", .trace = "probe host probe host probe show1"},
    {.name = "HungUpAtSecondProbe", .status = "PC01\r\n", .dial = "10", .steps = "LT|T", .trace = "probe host probe host now", .statusAfter = "OK\r\n", .log = "-PC01"},
    {.name = "HungUpAtThirdProbe", .status = "PC02\r\n", .dial = "110", .steps = "LT|T", .trace = kQuiet},
    {.name = "DialledAfterFirstProbe", .dial = "011", .steps = "LT|T", .trace = kViolation, .log = "!PC01"},
    {.name = "EmptyHolderFirstTick", .status = "\r\n", .dial = "111", .steps = "L|T", .trace = kViolation, .log = "!PC01"},
    // An unreadable status: the unknown picture and one box; the first reading afterwards is a change
    {.name = "StatusGoneOnce", .dial = "111", .steps = "LT|-TT=PC02;T-T=OK;T",
     .trace = "show3 box48:STOPPED:$Skesrow.txt: No such file or directory show2:PC02 "
              "show2:PC02~ box48:STOPPED:$Skesrow.txt: No such file or directory show1"},
    {.name = "ViolationLineFails", .status = "PC02\r\n", .dial = "111", .steps = "LTY|T",
     .trace = "probe host probe host probe beep warn box48:STOPPED:$Skesrow.log: Is a directory"},
    // Host names compared as the status file gives them back
    {.name = "CommaHostClaimsQuoted", .host = "PC,1", .steps = "L|C", .trace = "host host now", .statusAfter = "\"PC,1\"\r\n", .log = "+PC,1"},
    {.name = "NoCp932HostHoldingDialled", .status = "caf?\r\n", .dial = "111", .host = "café", .steps = "LT|T", .trace = kQuiet},
    {.name = "NoCp932HostReleases", .status = "caf?\r\n", .host = "café", .steps = "LT|TT", .trace = "probe host probe host now show1",
     .statusAfter = "OK\r\n", .log = "-caf?"},
    {.name = "NoCp932HostUnload", .status = "caf?\r\n", .host = "café", .steps = "L|E", .trace = "hide host host now unloaded end",
     .statusAfter = "OK\r\n", .log = "-caf?"},
    // A holder gone away: its presence unwritten for 3 minutes by the file server's clock; one that answers late is warned
    {.name = "GoneHolderTakenOver", .status = "PC02\r\n", .dial = "111", .steps = "PPC02:x;L|TT",
     .trace = "show2:PC02!1-2 12:04 probe host probe host probe host now", .statusAfter = "PC01\r\n", .log = "~PC02 +PC01",
     .presenceAfter = "PC01,回線を使用中"},
    {.name = "SlowHolderWarned", .status = "PC02\r\n", .dial = "111", .steps = "PPC02:170;L|TT", .trace = "show2:PC02 " VIOLATION, .log = "!PC01"},
    {.name = "HolderBackBeforeTakeover", .status = "PC02\r\n", .dial = "111", .steps = "PPC02:x;L|TPPC02:0;T",
     .trace = "show2:PC02!1-2 12:04 probe host probe host probe host beep warn host now beep", .log = "!PC01"},
    {.name = "HolderFallsSilent", .status = "PC02\r\n", .steps = "PPC02:0;LT|PPC02:x;TPPC02:0;T", .trace = "host show2:PC02!1-2 12:04 host show2:PC02",
     .presenceAfter = "PC01,待機中", .refreshEachTick = true},
    {.name = "HostFailsAWhile", .failOn = "host", .steps = "LT|TTFT-T",  // one box per outage
     .trace = "probe host box48:STOPPED:host probe host probe host probe host probe show3 box48:STOPPED:$Skesrow.txt: No such file or directory"},
    {.name = "HostFailsAtStart", .failOn = "host", .steps = "L", .trace = "prev cwd show3 host show1 on", .presenceAfter = ""},
    {.name = "ProbeFailsOnceAcrossChanges", .failOn = "probe", .steps = "LT|T=PC02;TT", .trace = "probe box48:NODIALUP:probe show2:PC02 probe"},
    // The tray menu
    {.name = "MenuDismissed", .steps = "L|9", .trace = "popup"},
    {.name = "LogShown", .logBefore = kLogBytes, .steps = "L|0",
     .trace = "popup log[\r\nPC01が、 10:15:00 接続\r\nhand\r\ntyped\r\nA\xEF\xBF\xBD" "B]"},
    {.name = "LogEmpty", .logBefore = "", .steps = "L|0", .trace = "popup log[]"},
    {.name = "LogMissing", .steps = "L|0", .trace = "popup log[]"},
    {.name = "LogFolder", .steps = "LY|0", .trace = "popup box48:NOLOG:$Skesrow.log: 通常のファイルではありません"},
    {.name = "PathCancelled", .steps = "L|1", .trace = "popup cwd input[$S]"},
    {.name = "PathRejectedCancelled", .inputs = {"/srv/share", ""}, .steps = "L|1",
     .trace = "popup cwd input[$S] box0:REJECTED input[/srv/share]"},
    {.name = "PathUpToAComma", .inputs = {"/mnt/c,d/"}, .pasAfter = "\"/mnt/c,d/\"\r\n", .steps = "L>/mnt/a,b/;|1",
     .trace = "popup cwd input[/mnt/a] cwd box0:CHANGED hide host unloaded end"},
    {.name = "PathChangedReleases", .status = "PC01\r\n", .inputs = {"/srv/new/"}, .pasAfter = "/srv/new/\r\n",
     .steps = "L|1", .trace = "popup cwd input[$S] cwd box0:CHANGED hide host host now unloaded end",
     .statusAfter = "OK\r\n", .log = "-PC01"},
    {.name = "PathChangedOtherHolds", .status = "PC02\r\n", .inputs = {"/srv/new/"}, .pasAfter = "/srv/new/\r\n",
     .steps = "L|1", .trace = "popup cwd input[$S] cwd box0:CHANGED hide host unloaded end"},
    {.name = "PathFileUnreadable", .pasAfter = "-", .steps = "LZ|1", .trace = "popup cwd box48:ENDS:$Cpas.txt: 通常のファイルではありません end1"},
    {.name = "AboutStartsTool", .tool = "/bin/x", .steps = "L|2", .trace = "popup about find start:/bin/x /about"},
    {.name = "AboutNoTool", .steps = "L|2", .trace = "popup about find box0:NOSYSINFO /about"},
    {.name = "AboutToolFails", .tool = "!/bin/x", .steps = "L|2", .trace = "popup about find start:/bin/x box0:NOSYSINFO /about"},
    {.name = "MenuExit", .status = "PC02\r\n", .steps = "L|3", .trace = "popup hide host unloaded end"},
};

// The log lines as cp932 bytes, at the fake clock's time.
std::string LogBytes(const std::string& lines)
{
    std::string out, t = " 1998/09/03 10:15:00 ";
    std::istringstream in(lines);
    for (std::string w, h; in >> w && (h = w.substr(1), true);)
        out += ToCp932(FieldText(w[0] == '!' ? "※※※※ " + h + "の接続違反が" + t + "にありました"
                                 : h + "が、" + t + (w[0] == '+' ? "接続" : w[0] == '-' ? "切断" : "切断（PC01が引き継ぎ）")) + "\r\n");
    return out;
}

void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

// Its pacing traced instead of run: only the rows' own ticks run.
struct TracedProgram : TrayProgram {
    TracedProgram(FakePlatform& fake, FormTimings timings) : TrayProgram(fake.frontEnd, [&fake] { fake.formUnloaded(); }, timings), fake(fake) {}
    void setEnabled(bool on) override { fake.setEnabled(on); }
    FakePlatform& fake;
};

class Program : public ::testing::TestWithParam<Row> {};

TEST_P(Program, Row)
{
    const Row& r = GetParam();
    TempDir cwd, server, etc;
    const std::string pas = cwd.file("pas.txt"), status = server.file("kesrow.txt"), log = server.file("kesrow.log");
    if (r.pas) WriteBytes(pas, Expand(Native(r.pas), server));
    if (r.status) WriteBytes(status, r.status);
    if (r.logBefore) WriteBytes(log, r.logBefore);
    if (r.etcPas) WriteBytes(etc.file("pas.txt"), Expand(Native(r.etcPas), server));
    FakePlatform fake;
    fake.cwd = cwd.path().string(), fake.etc = etc.path().string(), fake.boxAnswers = r.boxes, fake.inputs = {}, fake.failOn = r.failOn;
    fake.host = r.host, fake.toolPath = r.tool + (*r.tool == '!'), fake.toolStarts = *r.tool != '!';
    for (const auto& input : r.inputs) fake.inputs.push_back(Native(input));
    for (const char* d = r.dial; *d; ++d) fake.dialUps.push_back(*d - '0');
    TracedProgram program(fake, {.presence = {.refresh = std::chrono::milliseconds(r.refreshEachTick ? 0 : 30'000)}});
    MainForm& form = program.form();
    std::string expectedStatus = r.status ? r.status : "", expectedPas = r.pas ? Expand(Native(r.pas), server) : "-";
    for (const char* s = r.steps; *s; ++s) {
        // What the share worker hands back runs before the next step.
        const auto settled = [&] { ASSERT_TRUE(fake.runUntil([&] { return form.Settled(); })) << *s; };
        struct Settle {
            std::function<void()> run;
            ~Settle() { run(); }
        } settle{settled};
        try {
            switch (*s) {
            case 'L': program.start(); break;
            case 'T': form.TickNow(); break;
            case 'E': program.close(); break;
            case 'U': program.endItem(); break;
            case 'Q': program.start(), program.close(); break;
            case 'C': form.setuzoku(); break;
            case 'D': form.setudan(); break;
            case 'A': fake.otherCopy = true; break;
            case 'F': fake.failOn.clear(); break;
            case 'N': case 'B': {
                const std::string box = *s == 'N' ? "warn" : "box48", during(s + 1, End(s));
                s = End(s);
                fake.onCall = [&, box, during](const std::string& c) {
                    if (c.rfind(box, 0) != 0) return;
                    if (!during.empty()) WriteBytes(status, expectedStatus = during + "\r\n");
                    for (int tick = 0; tick < 2; ++tick) form.TickNow(), fake.runUntil([&] { return form.Settled(); });
                };
                break;
            }
            case '=': WriteBytes(status, expectedStatus = std::string(s + 1, End(s)) + "\r\n");
                      s = End(s);
                      break;
            case '>': WriteBytes(pas, expectedPas = Native(std::string(s + 1, End(s))) + "\r\n");
                      s = End(s);
                      break;
            case 'P': {
                const char* colon = std::strchr(s, ':');
                const std::string host(s + 1, colon), age(colon + 1, End(s));
                std::tm old{};
                old.tm_min = 4, old.tm_hour = 12, old.tm_mday = 2, old.tm_year = 126, old.tm_isdst = -1;
                const auto at = age == "x" ? std::chrono::system_clock::from_time_t(std::mktime(&old))
                                           : std::chrono::system_clock::now() - std::chrono::seconds(std::stoi(age));
                WriteBytes(server.file(PresenceFileName(host)), ToCp932(host + ",回線を使用中\r\n"));
                std::filesystem::last_write_time(server.file(PresenceFileName(host)), std::chrono::file_clock::from_sys(at));
                s = End(s);
                break;
            }
            case '0': case '1': case '2': case '3': case '9': fake.popup = {*s == '9' ? -1 : *s - '0'}, program.rightClick(); break;
            case 'e': WriteBytes(status, expectedStatus = ""); break;
            case '-': std::filesystem::remove(status), expectedStatus = ""; break;
            case 'X': std::filesystem::create_directory(status); break;
            case 'Y': std::filesystem::create_directory(log); break;
            case 'Z': std::filesystem::remove(pas), std::filesystem::create_directory(pas); break;
            case '|': fake.trace.clear(); break;
            }
        } catch (const std::exception&) {
            fake.trace += fake.trace.empty() ? "throw" : " throw";
        }
    }
    // A trace names paths, except for the About box's own "/about" and tool.
    const std::string trace = std::strstr(r.trace, "about") ? r.trace : Native(r.trace);
    EXPECT_EQ(fake.trace, SystemWords(Expand(Expand(trace, server), cwd, "$C")));
    EXPECT_EQ(ReadBytes(status), r.statusAfter ? r.statusAfter : expectedStatus);
    EXPECT_EQ(ReadBytes(log), (r.logBefore ? r.logBefore : "") + LogBytes(r.log));
    EXPECT_EQ(Exists(pas) && !std::filesystem::is_directory(pas) ? ReadBytes(pas) : "-", *r.pasAfter ? Native(r.pasAfter) : expectedPas);
    EXPECT_EQ(ReadBytes(etc.file("pas.txt")), r.etcPas ? Expand(Native(r.etcPas), server) : "");
    if (r.presenceAfter) {
        EXPECT_EQ(ReadBytes(server.file(PresenceFileName(r.host))), *r.presenceAfter ? ToCp932(r.presenceAfter) + "\r\n" : "");
    }
}

INSTANTIATE_TEST_SUITE_P(MainForm, Program, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kesrow::testing
