#include "platform/win32/ras_dialup.h"

#include <stdexcept>

#include "platform/win32/wide_text.h"

namespace kesrow::win32 {

std::string TrimAtNul(const std::string& text)
{
    return text.substr(0, text.find('\0'));
}

namespace {

// rasapi32.dll's function, loaded once by whichever thread asks first.
EnumConnectionsFunction SystemEnumConnections()
{
    static const EnumConnectionsFunction function = [] {
        // From the system folder only: the current directory is the user's.
        HMODULE library = LoadLibraryExW(L"rasapi32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        auto found = library ? GetProcAddress(library, "RasEnumConnectionsA") : nullptr;
        return reinterpret_cast<EnumConnectionsFunction>(reinterpret_cast<void*>(found));
    }();
    return function;
}

}  // namespace

EnumConnectionsFunction RasDialUp::enumerate()
{
    const EnumConnectionsFunction function = enumerate_ ? enumerate_ : SystemEnumConnections();
    if (!function) throw std::runtime_error("RasEnumConnectionsA (rasapi32.dll) cannot be loaded");
    return function;
}

DWORD RasDialUp::enumerateOnce(std::string& entryName)
{
    RasConnection record{};
    record.dwSize = sizeof record;
    DWORD bufferSize = sizeof record;
    DWORD count = 0;
    enumerate()(&record, &bufferSize, &count);
    entryName = FromAnsi(TrimAtNul(std::string(record.szEntryName, sizeof record.szEntryName)));
    return count;
}

bool RasDialUp::IsDialedUp(std::string& entryName)
{
    return enumerateOnce(entryName) != 0;
}

int RasDialUp::activeConnections()
{
    std::string scratch;
    return int(enumerateOnce(scratch));
}

}  // namespace kesrow::win32
