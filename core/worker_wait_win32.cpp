// Windows' services keep no notices: each question asks afresh, and the
// worker sleeps on its own event alone.
#include <windows.h>

#include "core/worker_wait.h"

#include <system_error>

namespace kesrow {

WorkerWait::WorkerWait(std::vector<Notices*> sources) : sources_(std::move(sources))
{
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!event) throw std::system_error(int(GetLastError()), std::system_category(), "CreateEvent");
    wakeHandle_ = reinterpret_cast<std::intptr_t>(event);
}

WorkerWait::~WorkerWait()
{
    CloseHandle(reinterpret_cast<HANDLE>(wakeHandle_));
}

void WorkerWait::wake()
{
    SetEvent(reinterpret_cast<HANDLE>(wakeHandle_));
}

void WorkerWait::sleep(std::optional<Steady::time_point> until)
{
    DWORD timeout = INFINITE;
    if (until) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(*until - Steady::now()).count();
        timeout = left > 0 ? DWORD(left) : 0;
    }
    WaitForSingleObject(reinterpret_cast<HANDLE>(wakeHandle_), timeout);
}

}  // namespace kesrow
