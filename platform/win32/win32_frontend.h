// The native Windows front end: a hidden main window that owns the tray
// icon, the poll timer and the forms, and runs until the main form unloads.
#pragma once

namespace kesrow {

int RunWin32();

}  // namespace kesrow
