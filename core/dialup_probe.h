// Module1: does this computer have an active dial-up connection right now?
#pragma once

#include <string>

#include "platform/platform.h"

namespace kesrow {

constexpr short kTrue = -1;
constexpr short kFalse = 0;

// The text up to, not including, its first NUL; the whole text without one.
std::string TrimAtNul(const std::string& text);

// Asks the platform afresh for one record. kTrue exactly when the count it
// reports is not 0; entryName gets the first connection's name.
short IsDialedUp(DialUpConnections& ras, std::string& entryName);

}  // namespace kesrow
