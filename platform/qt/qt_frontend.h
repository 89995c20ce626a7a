// The Linux desktop front end: tray icon, boxes and dialogs with Qt Widgets.
#pragma once

namespace kesrow {
int RunTray(int argc, char** argv);
}
