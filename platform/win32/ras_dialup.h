// Module1's probe on the remote access service: RasEnumConnectionsA with
// room for exactly one record, the answer taken from the count alone.
#pragma once

#include <windows.h>

#include "core/platform.h"

namespace kesrow::win32 {

// RASCONNA in its first layout, the one every version of the service
// accepts: 412 bytes on 32-bit Windows, 424 on 64-bit (the handle is a
// pointer there).
struct RasConnection {
    DWORD dwSize;
    HANDLE hrasconn;
    char szEntryName[257];
    char szDeviceType[17];
    char szDeviceName[129];
};
static_assert(sizeof(RasConnection) == (sizeof(void*) == 4 ? 412 : 424));

using EnumConnectionsFunction = DWORD(WINAPI*)(RasConnection* connections, DWORD* bufferSize, DWORD* count);

// The library's RasEnumConnectionsA, from the system folder only (the
// current directory is the user's). Throws std::runtime_error naming the
// library, with the system's words, when it cannot be loaded.
EnumConnectionsFunction LoadEnumConnections(const wchar_t* library);

class RasDialUp : public DialUp {
public:
    // rasapi32.dll's function, loaded on first use; tests pass their own.
    // Asked from the share worker.
    RasDialUp() = default;
    explicit RasDialUp(EnumConnectionsFunction enumerate) : enumerate_(enumerate) {}

    // The count the service gives; the status it returns is not looked at.
    int activeConnections() override;

private:
    // Throws LoadEnumConnections's failure, on every ask, when the service is not installed.
    EnumConnectionsFunction enumerate();

    EnumConnectionsFunction enumerate_ = nullptr;
};

}  // namespace kesrow::win32
