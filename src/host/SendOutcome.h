#pragma once
// What the trail says of a send that SendMessageTimeout gave up on.
#include <windows.h>

#include <string>
#include <string_view>

namespace host {

// From the send's error code: "<who> did not answer (0x000005B4) after
// 10000.00 ms", or, for ERROR_ACCESS_DENIED, that Windows refused the
// message because the window's program runs as administrator.
std::string FailedSend(std::string_view who, DWORD error, std::string_view elapsed);

}  // namespace host
