#include "trail/CrashReport.h"

#include <dbghelp.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "trail/CrashWords.h"
#include "trail/Trail.h"

namespace trail {

namespace {

std::atomic<HWND> g_owner{nullptr};
std::atomic<long> g_imagesNotHandedOver{0};
std::atomic<bool> g_crashing{false};
char g_version[32] = "0";

// "DenoptixScanSim.dll+0x1A2B": the file name only, and the offset in it.
std::string ModuleAt(const void* address)
{
    HMODULE module = nullptr;
    char path[MAX_PATH] = "unknown module";
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           static_cast<const char*>(address), &module))
        GetModuleFileNameA(module, path, MAX_PATH);
    const char* slash = std::strrchr(path, '\\');
    const char* name = slash != nullptr ? slash + 1 : path;
    char offset[32] = "";
    if (module != nullptr)
        std::snprintf(offset, sizeof offset, "+0x%llX",
                      static_cast<unsigned long long>(static_cast<const char*>(address) -
                                                      reinterpret_cast<const char*>(module)));
    return std::string(name) + offset;
}

// dbghelp is loaded only now: a start-up never pays for it.
bool WriteDump(const std::string& path, EXCEPTION_POINTERS* exception)
{
    using WriteDumpFunction = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE, PMINIDUMP_EXCEPTION_INFORMATION,
                                            PMINIDUMP_USER_STREAM_INFORMATION, PMINIDUMP_CALLBACK_INFORMATION);
    // Loaded once and kept: the process ends right after the report anyway.
    static const HMODULE dbghelp = LoadLibraryA("dbghelp.dll");
    const auto writeDump = dbghelp == nullptr ? nullptr
                                              : reinterpret_cast<WriteDumpFunction>(reinterpret_cast<void*>(
                                                    GetProcAddress(dbghelp, "MiniDumpWriteDump")));
    if (writeDump == nullptr) return false;
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    MINIDUMP_EXCEPTION_INFORMATION where{GetCurrentThreadId(), exception, FALSE};
    const BOOL written = writeDump(GetCurrentProcess(), GetCurrentProcessId(), file,
                                   static_cast<MINIDUMP_TYPE>(MiniDumpNormal | MiniDumpWithThreadInfo), &where,
                                   nullptr, nullptr);
    CloseHandle(file);
    if (!written) DeleteFileA(path.c_str());
    return written != FALSE;
}

// The newest kDumpsKept stay; older ones go.
void PruneDumps(const std::string& folder)
{
    struct Dump {
        FILETIME written;
        std::string name;
    };
    std::vector<Dump> dumps;
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA((folder + "\\Denoptix-*.dmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do dumps.push_back({found.ftLastWriteTime, found.cFileName});
    while (FindNextFileA(search, &found));
    FindClose(search);
    if (dumps.size() <= static_cast<std::size_t>(kDumpsKept)) return;
    std::sort(dumps.begin(), dumps.end(),
              [](const Dump& a, const Dump& b) { return CompareFileTime(&a.written, &b.written) > 0; });
    for (std::size_t i = kDumpsKept; i < dumps.size(); ++i) DeleteFileA((folder + "\\" + dumps[i].name).c_str());
}

// The dump's path, or empty when none could be written.
std::string WriteReport(EXCEPTION_POINTERS* exception)
{
    std::string folder = SupportFolder();
    if (folder.empty()) return {};
    folder += "\\Crashes";
    if (!CreateDirectoryA(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return {};
    std::string path = folder + "\\Denoptix-" + g_version + "-" + UtcStamp(StampFor::FileName) + ".dmp";
    if (!WriteDump(path, exception)) return {};
    PruneDumps(folder);
    return path;
}

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* exception)
{
    // A fault while reporting one: nothing more can be done safely.
    if (g_crashing.exchange(true)) TerminateProcess(GetCurrentProcess(), kCrashExitCode);
    const EXCEPTION_RECORD& record = *exception->ExceptionRecord;
    CrashFacts facts;
    facts.module = ModuleAt(record.ExceptionAddress);
    facts.dump = WriteReport(exception);
    facts.imagesNotHandedOver = g_imagesNotHandedOver.load();
    WriteAtCrash(CrashTrailLine(record, facts));
    const std::string text = CrashBoxText(record, facts);
    MessageBoxA(g_owner.load(), text.c_str(), "Denoptix", MB_OK | MB_ICONSTOP | MB_TOPMOST | MB_SETFOREGROUND);
    TerminateProcess(GetCurrentProcess(), kCrashExitCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

// Windows 7 SP1 and later swallow exceptions that cross a kernel callback
// (a window procedure called from inside a system call) unless told not to.
void LetCallbackFaultsThrough() noexcept
{
    constexpr DWORD kCallbackFilterEnabled = 0x1;
    using GetPolicy = BOOL(WINAPI*)(LPDWORD);
    using SetPolicy = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    const auto get = reinterpret_cast<GetPolicy>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "GetProcessUserModeExceptionPolicy")));
    const auto set = reinterpret_cast<SetPolicy>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetProcessUserModeExceptionPolicy")));
    DWORD flags = 0;
    if (get != nullptr && set != nullptr && get(&flags)) set(flags & ~kCallbackFilterEnabled);
}

}  // namespace

void InstallCrashReport(const char* version) noexcept
{
    std::snprintf(g_version, sizeof g_version, "%s", version);
    SetUnhandledExceptionFilter(OnUnhandledException);
    LetCallbackFaultsThrough();
}

void SetCrashBoxOwner(HWND owner) noexcept { g_owner = owner; }

void NoteImageReceived() noexcept { ++g_imagesNotHandedOver; }

void NoteSetHandedOver() noexcept { g_imagesNotHandedOver = 0; }

}  // namespace trail
