#include "check/FileFacts.h"

#include <string_view>
#include <vector>

namespace check {

namespace {

constexpr bool kThis64 = sizeof(void*) == 8;

bool StartsWithNoCase(std::string_view text, std::string_view start)
{
    return text.size() >= start.size() &&
           CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, text.data(), static_cast<int>(start.size()),
                          start.data(), static_cast<int>(start.size())) == CSTR_EQUAL;
}

// Replaces every `from` (any letter case) with `to`.
std::string ReplaceNoCase(std::string text, const std::string& from, const std::string& to)
{
    for (std::size_t at = 0; at + from.size() <= text.size();) {
        if (StartsWithNoCase(std::string_view(text).substr(at), from)) {
            text.replace(at, from.size(), to);
            at += to.size();
        } else {
            ++at;
        }
    }
    return text;
}

std::string Expanded(const std::string& path)
{
    char expanded[MAX_PATH * 2] = {};
    const DWORD length = ExpandEnvironmentStringsA(path.c_str(), expanded, sizeof expanded);
    return length == 0 || length > sizeof expanded ? path : std::string(expanded);
}

// A 32-bit program asking for System32 is sent to SysWOW64; Sysnative is
// the real System32's name for it.
std::string AsThe64BitLoaderSeesIt(const std::string& path)
{
    if (kThis64) return path;
    char windows[MAX_PATH] = {};
    const UINT length = GetSystemWindowsDirectoryA(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return path;
    const std::string system32 = std::string(windows, length) + "\\System32\\";
    if (!StartsWithNoCase(path, system32)) return path;
    return std::string(windows, length) + "\\Sysnative\\" + path.substr(system32.size());
}

template <typename T>
bool ReadAt(HANDLE file, LONG offset, T& value)
{
    DWORD read = 0;
    return SetFilePointer(file, offset, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
           ReadFile(file, &value, sizeof value, &read, nullptr) && read == sizeof value;
}

}  // namespace

Machine MachineOf(const std::string& path)
{
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Machine::Unknown;
    IMAGE_DOS_HEADER dos{};
    DWORD signature = 0;
    IMAGE_FILE_HEADER header{};
    const bool read = ReadAt(file, 0, dos) && dos.e_magic == IMAGE_DOS_SIGNATURE &&
                      ReadAt(file, dos.e_lfanew, signature) && signature == IMAGE_NT_SIGNATURE &&
                      ReadAt(file, dos.e_lfanew + static_cast<LONG>(sizeof signature), header);
    CloseHandle(file);
    if (!read) return Machine::Unknown;
    switch (header.Machine) {
    case IMAGE_FILE_MACHINE_I386: return Machine::X86;
    case IMAGE_FILE_MACHINE_AMD64: return Machine::X64;
    case 0xAA64: return Machine::Arm64;  // IMAGE_FILE_MACHINE_ARM64, missing from older headers
    default: return Machine::Unknown;
    }
}

namespace {

std::string VersionOf(const std::string& path)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) return {};
    std::vector<char> data(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!GetFileVersionInfoA(path.c_str(), 0, size, data.data()) ||
        !VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || fixed == nullptr)
        return {};
    return std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionMS)) +
           "." + std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionLS));
}

}  // namespace

std::string ExpandedForView(const std::string& path, bool from64BitView)
{
    if (from64BitView == kThis64) return Expanded(path);
    const char* programFiles = from64BitView ? "%ProgramW6432%" : "%ProgramFiles(x86)%";
    const char* commonFiles = from64BitView ? "%CommonProgramW6432%" : "%CommonProgramFiles(x86)%";
    return Expanded(ReplaceNoCase(ReplaceNoCase(path, "%ProgramFiles%", programFiles), "%CommonProgramFiles%",
                                  commonFiles));
}

std::string ThisProgramFolder()
{
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length < MAX_PATH ? length : 0);
    return folder.substr(0, folder.find_last_of('\\'));
}

std::string OtherBitnessCheck()
{
    const Machine other = kThis64 ? Machine::X86 : Machine::X64;
    for (const char* relative : {"x64\\DenoptixCheck.exe", "..\\DenoptixCheck.exe"}) {
        const std::string path = ThisProgramFolder() + "\\" + relative;
        const FileFacts facts = ReadFileFacts(path, false);
        if (facts.exists && facts.machine == other) return relative;
    }
    return {};
}

FileFacts ReadFileFacts(const std::string& given, bool from64BitView)
{
    const std::string path = from64BitView ? AsThe64BitLoaderSeesIt(given) : given;
    FileFacts facts;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    facts.exists = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    if (!facts.exists) return facts;
    facts.machine = MachineOf(path);
    facts.version = VersionOf(path);
    return facts;
}

const char* MachineName(Machine machine)
{
    switch (machine) {
    case Machine::X86: return "32-bit";
    case Machine::X64: return "64-bit";
    case Machine::Arm64: return "ARM64";
    default: return "of an unknown kind";
    }
}

}  // namespace check
