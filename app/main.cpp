// Picks the front end: the desktop tray, or --console for a computer
// without a display.
#include <cstdio>
#include <cstring>

#include "platform/console/console_frontend.h"
#include "platform/qt/qt_frontend.h"

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::puts(KESROW_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--console") == 0)
            return kesrow::RunConsole(argc, argv);
    }
    return kesrow::RunTray(argc, argv);
}
