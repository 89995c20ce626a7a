#include "platform/console/console_services.h"

#include <unistd.h>

#include <cstdio>

#include "core/main_form.h"

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
        Print(stderr, (got ? answer : std::string("(end of input)")) + "\n");
    return got;
}

}  // namespace

std::string ConsoleLineBreaks(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

void ConsoleTray::add(std::int32_t, std::int16_t image, const std::string& tooltip)
{
    Print(stdout, "icon " + std::to_string(image) + " " + tooltip + "\n");
}

int ConsoleDialogs::messageBox(const std::string& prompt, int style, const std::string& title)
{
    Print(stderr, "[" + title + "]\n" + ConsoleLineBreaks(prompt) + "\n");
    if ((style & 0xF) == vbOKCancel) {
        Print(stderr, "OK? (y/N) ");
        std::string answer;
        bool ok = ReadAnswer(loop_, answer) && (answer == "y" || answer == "yes");
        return ok ? vbOK : 2;
    }
    if (prompt == kWarningText)
        holdWarning();
    return vbOK;
}

// Keeps the violation warning "open" as a desktop box would stay until
// someone closes it, so a headless copy warns at most once per hold.
void ConsoleDialogs::holdWarning()
{
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
    Print(stderr, "[" + title + "]\n" + ConsoleLineBreaks(prompt) + "\n[" + defaultText + "] ");
    std::string answer;
    if (!ReadAnswer(loop_, answer))
        return {};
    return answer.empty() ? defaultText : answer;
}

void ConsoleDialogs::beep()
{
    Print(stderr, "\a");
}

void ConsoleProcess::end()
{
    std::fflush(stdout);
    std::fflush(stderr);
    _exit(0);
}

}  // namespace kesrow
