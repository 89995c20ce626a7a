#include "ui/server_path_dialog.h"

#include "core/server_path.h"
#include "core/shared_files.h"
#include "core/text_file.h"
#include "core/texts.h"

namespace kesrow {

void ChangeServerPath(MainForm& form)
{
    Platform& p = form.platform();
    const std::string stored = StoredServerPath(ServerPathFileToRead(p.process));
    const std::string answer = PromptServerPath(p.dialogs, stored);
    if (answer.empty()) return;

    // The current directory is read afresh at each access.
    StoreServerPath(ServerPathFile(p.process.currentDirectory()), answer);
    p.dialogs.messageBox(kServerPathChanged, BoxStyle::OkOnly, kTitle);
    form.Unload([&p] { p.process.end(); });
}

}  // namespace kesrow
