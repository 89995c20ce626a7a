#include "core/server_path.h"

#include <cerrno>
#include <filesystem>

#include "core/shared_files.h"
#include "core/text_file.h"
#include "core/texts.h"

namespace kesrow {

std::string ServerPathFileToRead(Process& process)
{
    std::string own = ServerPathFile(process.currentDirectory());
    std::error_code ec;
    // Anything but a clear "not there" keeps the user's own, so its failure is the one seen.
    if (std::filesystem::exists(own, ec) || ec) return own;
    const std::string computer = process.computerSettingsDirectory();
    return computer.empty() ? own : ServerPathFile(computer);
}

std::string StoredServerPath(const std::string& serverPathFile)
{
    try {
        TextFile in(serverPathFile, OpenMode::Input, {.links = files::Links::Follow});
        return in.AtEnd() ? std::string() : in.ReadField();
    } catch (const FileError& e) {
        if (e.error() == ENOENT) return {};
        throw;
    }
}

std::string PromptServerPath(Dialogs& dialogs, std::string workingText)
{
    for (;;) {
        workingText = dialogs.inputBox(kServerPathPrompt, kTitle, workingText);
        if (workingText.empty()) return {};
        if (workingText.back() != kPathSeparator)
            dialogs.messageBox(kServerPathRejected, BoxStyle::OkOnly, kTitle);
        else if (AsReadBack(workingText) != workingText)
            dialogs.messageBox(kServerPathUnstorable, BoxStyle::OkOnly, kTitle);
        else
            return workingText;
    }
}

void StoreServerPath(const std::string& serverPathFile, const std::string& path)
{
    ReplaceWithLine(serverPathFile, FieldText(path));
}

}  // namespace kesrow
