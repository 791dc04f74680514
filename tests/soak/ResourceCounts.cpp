#include "ResourceCounts.h"

#include <psapi.h>
#include <winternl.h>

#include <cstdio>
#include <vector>

namespace soak {

namespace {

// SystemExtendedHandleInformation's layout (64-bit).
constexpr ULONG kSystemExtendedHandleInformation = 64;
constexpr LONG kStatusInfoLengthMismatch = static_cast<LONG>(0xC0000004);
struct HandleEntry {
    PVOID object;
    ULONG_PTR processId;
    ULONG_PTR handle;
    ULONG access;
    USHORT backTraceIndex;
    USHORT typeIndex;
    ULONG attributes;
    ULONG reserved;
};
struct HandleTable {
    ULONG_PTR count;
    ULONG_PTR reserved;
    HandleEntry entries[1];
};

// Wine 8's GetProcessHandleCount reports 0 for every process; the system's
// handle table is counted there instead.
long CountHandlesInSystemTable(DWORD processId)
{
    using Query = LONG(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (query == nullptr) return -1;
    std::vector<char> buffer(1 << 20);
    LONG status = 0;
    ULONG needed = 0;
    while ((status = query(kSystemExtendedHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                           &needed)) == kStatusInfoLengthMismatch)
        buffer.resize(buffer.size() * 2);
    if (status != 0) return -1;
    const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
    long count = 0;
    for (ULONG_PTR i = 0; i < table->count; ++i)
        if (table->entries[i].processId == processId) ++count;
    return count;
}

long CountHandles(HANDLE process, DWORD processId)
{
    DWORD count = 0;
    if (GetProcessHandleCount(process, &count) && count != 0) return static_cast<long>(count);
    return CountHandlesInSystemTable(processId);
}

long GuiObjects(HANDLE process, DWORD kind)
{
    SetLastError(ERROR_SUCCESS);
    const DWORD count = GetGuiResources(process, kind);
    return count == 0 && GetLastError() == ERROR_CALL_NOT_IMPLEMENTED ? -1 : static_cast<long>(count);
}

struct WindowCount {
    DWORD processId;
    long count;
};

BOOL CALLBACK CountChild(HWND, LPARAM context)
{
    ++reinterpret_cast<WindowCount*>(context)->count;
    return TRUE;
}

BOOL CALLBACK CountWindowAndChildren(HWND window, LPARAM context)
{
    auto& tally = *reinterpret_cast<WindowCount*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != tally.processId) return TRUE;
    ++tally.count;
    // Children of children are enumerated too.
    EnumChildWindows(window, CountChild, context);
    return TRUE;
}

long CountWindows(DWORD processId)
{
    WindowCount tally{processId, 0};
    EnumWindows(CountWindowAndChildren, reinterpret_cast<LPARAM>(&tally));
    for (HWND window = FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); window != nullptr;
         window = FindWindowExA(HWND_MESSAGE, window, nullptr, nullptr))
        CountWindowAndChildren(window, reinterpret_cast<LPARAM>(&tally));
    return tally.count;
}

double PrivateMiB(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters))
        return -1;
    // Windows fills both with the same figure; Wine 8 only PagefileUsage.
    const SIZE_T bytes = counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

}  // namespace

ResourceCounts MeasureResources(HANDLE process, DWORD processId)
{
    return {CountHandles(process, processId), GuiObjects(process, GR_GDIOBJECTS), GuiObjects(process, GR_USEROBJECTS),
            CountWindows(processId), PrivateMiB(process)};
}

std::string Describe(const ResourceCounts& counts)
{
    char text[160];
    std::snprintf(text, sizeof text, "handles %ld, GDI %ld, USER %ld, windows %ld, private %.2f MiB", counts.handles,
                  counts.gdiObjects, counts.userObjects, counts.windows, counts.privateMiB);
    return text;
}

}  // namespace soak
