#include "host/SendOutcome.h"

#include "trail/Trail.h"

namespace host {

std::string FailedSend(std::string_view who, DWORD error, std::string_view elapsed)
{
    // Windows drops, at once, a message from a program to a window of one
    // that runs at a higher integrity level: the receiver never saw it.
    if (error == ERROR_ACCESS_DENIED)
        return std::string(who) + ": Windows refused the message (" + trail::Hex(error) +
               "), because that window's program runs as administrator and the bridge does not";
    return std::string(who) + " did not answer (" + trail::Hex(error) + ") after " + std::string(elapsed);
}

}  // namespace host
