#include "core/dialup_probe.h"

#include <cstring>

#include "core/codepage.h"

namespace kesrow {

std::string TrimAtNul(const std::string& text)
{
    return text.substr(0, text.find('\0'));
}

short IsDialedUp(DialUpConnections& ras, std::string& entryName)
{
    RasConnA record;
    std::memset(&record, 0, sizeof record);
    record.dwSize = sizeof record;
    std::uint32_t bufferSize = sizeof record;
    std::uint32_t count = 0;
    // The status is not looked at: with several connections it reports the
    // one-record buffer as too small, yet the count is right.
    ras.RasEnumConnectionsA(&record, &bufferSize, &count);
    entryName = FromCp932(TrimAtNul(std::string(record.szEntryName, sizeof record.szEntryName)));
    return count != 0 ? kTrue : kFalse;
}

}  // namespace kesrow
