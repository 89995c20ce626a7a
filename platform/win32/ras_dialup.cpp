#include "platform/win32/ras_dialup.h"

#include <stdexcept>
#include <utility>

#include "platform/win32/wide_text.h"

namespace kesrow::win32 {

std::string TrimAtNul(const std::string& text)
{
    return text.substr(0, text.find('\0'));
}

EnumConnectionsFunction LoadEnumConnections(const wchar_t* library)
{
    HMODULE module = LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    const FARPROC found = module ? GetProcAddress(module, "RasEnumConnectionsA") : nullptr;
    if (!found) throw std::runtime_error(Narrow(library) + ": " + ErrorText(GetLastError()));
    return reinterpret_cast<EnumConnectionsFunction>(reinterpret_cast<void*>(found));
}

EnumConnectionsFunction RasDialUp::enumerate()
{
    if (enumerate_) return enumerate_;
    // Loaded once, by whichever thread asks first.
    static const auto system = []() -> std::pair<EnumConnectionsFunction, std::string> {
        try {
            return {LoadEnumConnections(L"rasapi32.dll"), {}};
        } catch (const std::runtime_error& e) {
            return {nullptr, e.what()};
        }
    }();
    if (!system.first) throw std::runtime_error(system.second);
    return system.first;
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
