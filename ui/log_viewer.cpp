#include "ui/log_viewer.h"

#include <cerrno>

#include "core/codepage.h"
#include "core/text_file.h"
#include "core/texts.h"

namespace kesrow {

std::string LogViewerText(const std::string& logFile)
{
    std::size_t skipped = 0;
    // Converted whole: UTF-8, like code page 932, never has a comma, quote,
    // CR or LF inside a character, so the fields are the same.
    FieldReader log(FromCp932(ReadTail(logFile, kLogViewLimit, skipped)), false);
    std::string text;
    if (skipped > 0) text += "\r\n" + LogTailNote(skipped);
    while (!log.AtEnd()) {
        text += "\r\n";
        text += log.ReadField();
    }
    return text;
}

logtimes::logtimes(std::string logFile, Dialogs& dialogs)
    : logFile_(std::move(logFile)), dialogs_(dialogs)
{
}

void logtimes::ReadLog()
{
    try {
        text1_ = LogViewerText(logFile_);
    } catch (const FileError& e) {
        // A new share has no log until the first claim: nothing to show yet.
        if (e.error() != ENOENT) failure_ = e.what();
    } catch (const std::exception& e) {
        // No failure of the viewer may end the program: that would leave a
        // line this computer holds claimed.
        failure_ = e.what();
    }
}

bool logtimes::ReportRead()
{
    if (failure_.empty()) return true;
    dialogs_.messageBox(kLogUnreadable + failure_, BoxStyle::Exclamation, kTitle);
    return false;
}

}  // namespace kesrow
