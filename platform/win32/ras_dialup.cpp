#include "platform/win32/ras_dialup.h"

#include <stdexcept>
#include <utility>

#include "core/wide_text_win32.h"

namespace kesrow::win32 {

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

int RasDialUp::activeConnections()
{
    RasConnection record{};
    record.dwSize = sizeof record;
    DWORD bufferSize = sizeof record;
    DWORD count = 0;
    enumerate()(&record, &bufferSize, &count);
    return int(count);
}

}  // namespace kesrow::win32
