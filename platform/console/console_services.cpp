#include "platform/console/console_services.h"

#include <unistd.h>

#include <cstdio>

#include "core/log_report.h"
#include "core/texts.h"

namespace kesrow {
namespace {

void Print(std::FILE* stream, const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

// Reads the answer to a box; a terminal has echoed it already, anything else
// gets it echoed so that standard error reads like a transcript.
bool ReadAnswer(ConsoleLoop& loop, std::string& answer)
{
    bool got = loop.readLine(answer);
    if (!isatty(STDIN_FILENO))
        Print(stderr, (got ? TerminalSafe(answer) : std::string("(end of input)")) + "\n");
    return got;
}

}  // namespace

void ConsoleTray::show(TrayImage image, const std::string& tooltip)
{
    Print(stdout, "icon " + std::to_string(static_cast<int>(image)) + " " + TerminalSafe(tooltip) + "\n");
}

void ConsoleTray::showNotice(const std::string&, const std::string& text)
{
    Print(stdout, "notice " + TerminalSafe(text) + "\n");
}

Answer ConsoleDialogs::messageBox(const std::string& prompt, BoxStyle style, const std::string& title)
{
    Print(stderr, "[" + title + "]\n" + TerminalSafe(BoxLineBreaks(prompt), true) + "\n");
    if (style != BoxStyle::OkCancel) return Answer::Ok;
    Print(stderr, "OK? (y/N) ");
    std::string answer;
    const bool ok = readAnswer(answer) && (answer == "y" || answer == "yes");
    return ok ? Answer::Ok : Answer::Cancel;
}

// Keeps the warning "open" as a desktop box would stay until someone closes
// it, so a headless copy warns at most once per hold.
void ConsoleDialogs::violationWarning(const std::string& prompt, const std::string& title)
{
    messageBox(prompt, BoxStyle::OkOnly, title);
    if (isatty(STDIN_FILENO)) {
        Print(stderr, "(Enter)");
        std::string ignored;
        loop_.readLine(ignored);
    } else {
        loop_.sleepMs(kWarningHoldMs);
    }
}

std::string ConsoleDialogs::inputBox(const std::string& prompt, const std::string& title,
                                     const std::string& defaultText)
{
    Print(stderr, "[" + title + "]\n" + TerminalSafe(BoxLineBreaks(prompt), true) + "\n[" + TerminalSafe(defaultText) + "] ");
    std::string answer;
    if (!readAnswer(answer))
        return {};
    return answer.empty() ? defaultText : answer;
}

bool ConsoleDialogs::readAnswer(std::string& answer)
{
    if (ReadAnswer(loop_, answer)) return true;
    if (onUnanswered) onUnanswered();
    return false;
}

void ConsoleDialogs::beep()
{
    Print(stderr, "\a");
}

}  // namespace kesrow
