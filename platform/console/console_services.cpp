#include "platform/console/console_services.h"

#include <unistd.h>

#include <cstdio>

#include "core/texts.h"

namespace kesrow {
namespace {

// Every byte of a control character (C0, DEL, and C1 in its UTF-8 form) as
// \xNN, so that text read from a file can neither steer the terminal nor
// split a line. Boxes keep their own line breaks.
std::string Visible(const std::string& text, bool keepLineBreaks = false)
{
    std::string out;
    out.reserve(text.size());
    auto escape = [&out](unsigned char byte) {
        char hex[5];
        std::snprintf(hex, sizeof hex, "\\x%02X", byte);
        out += hex;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const bool c1 = byte == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(text[i + 1]) <= 0x9F;
        if (c1) {
            escape(byte);
            escape(static_cast<unsigned char>(text[++i]));
        } else if ((byte < 0x20 && !(keepLineBreaks && byte == '\n')) || byte == 0x7F) {
            escape(byte);
        } else {
            out += text[i];
        }
    }
    return out;
}

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
        Print(stderr, (got ? Visible(answer) : std::string("(end of input)")) + "\n");
    return got;
}

}  // namespace

void ConsoleTray::add(TrayImage image, const std::string& tooltip)
{
    Print(stdout, "icon " + std::to_string(static_cast<int>(image)) + " " + Visible(tooltip) + "\n");
}

void ConsoleTray::showNotice(const std::string&, const std::string& text)
{
    Print(stdout, "notice " + Visible(text) + "\n");
}

Answer ConsoleDialogs::messageBox(const std::string& prompt, BoxStyle style, const std::string& title)
{
    Print(stderr, "[" + title + "]\n" + Visible(BoxLineBreaks(prompt), true) + "\n");
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
    Print(stderr, "[" + title + "]\n" + Visible(BoxLineBreaks(prompt), true) + "\n[" + Visible(defaultText) + "] ");
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
