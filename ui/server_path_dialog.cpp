#include "ui/server_path_dialog.h"

#include "core/server_path.h"
#include "core/shared_files.h"
#include "core/text_file.h"

namespace kesrow {

void ChangeServerPath(kesrow& form)
{
    Platform& p = form.platform();
    const std::string stored = StoredServerPath(ServerPathFile(p.process.currentDirectory()));
    const std::string answer = PromptServerPath(p.dialogs, stored);
    if (answer.empty()) return;

    // The current directory is read afresh at each access.
    ReplaceWithLine(ServerPathFile(p.process.currentDirectory()), answer);
    p.dialogs.messageBox(kServerPathChanged, vbOKOnly, kTitle);
    form.Unload();
    p.process.end();
}

}  // namespace kesrow
