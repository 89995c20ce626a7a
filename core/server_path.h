// Asking for, reading and storing the server path in pas.txt.
#pragma once

#include <string>

#include "core/platform.h"

namespace kesrow {

// The server path file to read: pas.txt in the current directory, or when
// there is none, the computer's own in its settings folder. Writes always go
// to the current directory's.
std::string ServerPathFileToRead(Process& process);

// The first field of the server path file, offered as the default answer.
// A missing or empty file offers nothing, so a first-time user can type the
// folder; any other failure to read it throws.
std::string StoredServerPath(const std::string& serverPathFile);

// Asks until the answer ends with the separator and pas.txt can hold it
// (code page 932, the field rule); each rejected answer is the next
// default. Returns the accepted path, or "" when the user cancelled or
// emptied the box.
std::string PromptServerPath(Dialogs& dialogs, std::string workingText);

// Writes the accepted path as the file's one line, in double quotes when it
// holds a comma, so that every copy reads it back whole.
void StoreServerPath(const std::string& serverPathFile, const std::string& path);

}  // namespace kesrow
