#include "platform/win32/winsock_host_name.h"

#include <winsock2.h>

#include <system_error>

#include "core/wide_text_win32.h"

namespace kesrow::win32 {

WinsockHostName::WinsockHostName()
{
    WSADATA data;
    started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

WinsockHostName::~WinsockHostName()
{
    if (started_) WSACleanup();
}

std::string WinsockHostName::localHostName()
{
    char name[256];
    if (!started_ || gethostname(name, sizeof name) != 0)
        throw std::system_error(WSAGetLastError(), std::system_category(), "gethostname");
    return FromAnsi(name);
}

}  // namespace kesrow::win32
