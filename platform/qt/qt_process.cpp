#include "platform/qt/qt_process.h"

#include <QCoreApplication>
#include <cstdio>
#include <unistd.h>

namespace kesrow::qt {

bool QtProcess::previousInstance()
{
    return !lock_.Acquire();
}

std::string QtProcess::currentDirectory()
{
    return CurrentDirectory();
}

void QtProcess::formUnloaded()
{
    unloaded_ = true;
    if (onUnloaded) onUnloaded();
    // exit() leaves nested loops too (a dialog that was open), then the main one.
    QCoreApplication::exit(0);
}

void QtProcess::end()
{
    std::fflush(stdout);
    std::fflush(stderr);
    _exit(0);
}

}  // namespace kesrow::qt
