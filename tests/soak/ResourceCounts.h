#pragma once
// What a long-running process holds, read from outside it.
#include <windows.h>

#include <string>

namespace soak {

struct ResourceCounts {
    long handles = 0;
    // GetGuiResources; -1 where the system does not count them (Wine 8).
    long gdiObjects = -1;
    long userObjects = -1;
    long windows = 0;  // top-level, child and message-only windows
    double privateMiB = 0;
};

ResourceCounts MeasureResources(HANDLE process, DWORD processId);

std::string Describe(const ResourceCounts& counts);

}  // namespace soak
