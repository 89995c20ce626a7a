#include "ui/log_viewer.h"

#include "core/text_file.h"
#include "core/texts.h"

namespace kesrow {

std::string LogViewerText(const std::string& logFile)
{
    TextFile log(logFile, OpenMode::Input);
    std::string text;
    while (!log.AtEnd()) {
        text += "\r\n";
        text += log.ReadField();
    }
    log.Close();
    return text;
}

logtimes::logtimes(std::string logFile, Dialogs& dialogs)
    : logFile_(std::move(logFile)), dialogs_(dialogs)
{
}

bool logtimes::Form_Load()
{
    ReadLog();
    return ReportRead();
}

void logtimes::ReadLog()
{
    try {
        text1_ = LogViewerText(logFile_);
    } catch (const FileError& e) {
        failure_ = e.what();
    }
}

bool logtimes::ReportRead()
{
    if (failure_.empty()) return true;
    // A missing log is normal before the first claim; ending here would
    // also leave a line this computer holds claimed.
    dialogs_.messageBox(kLogUnreadable + failure_, BoxStyle::Exclamation, kTitle);
    return false;
}

}  // namespace kesrow
