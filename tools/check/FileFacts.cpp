#include "check/FileFacts.h"

#include <vector>

namespace check {

namespace {

// Turns WoW64's redirection of System32 and Program Files off while it
// lives; does nothing in a 64-bit process.
class RealFileSystem {
public:
    explicit RealFileSystem(bool wanted) noexcept
    {
        if (wanted && sizeof(void*) == 4) turnedOff_ = Wow64DisableWow64FsRedirection(&previous_) != FALSE;
    }
    ~RealFileSystem()
    {
        if (turnedOff_) Wow64RevertWow64FsRedirection(previous_);
    }
    RealFileSystem(const RealFileSystem&) = delete;
    RealFileSystem& operator=(const RealFileSystem&) = delete;

private:
    void* previous_ = nullptr;
    bool turnedOff_ = false;
};

template <typename T>
bool ReadAt(HANDLE file, LONG offset, T& value)
{
    DWORD read = 0;
    return SetFilePointer(file, offset, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
           ReadFile(file, &value, sizeof value, &read, nullptr) && read == sizeof value;
}

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

std::string Expanded(const std::string& path)
{
    char expanded[MAX_PATH * 2] = {};
    const DWORD length = ExpandEnvironmentStringsA(path.c_str(), expanded, sizeof expanded);
    return length == 0 || length > sizeof expanded ? path : std::string(expanded);
}

FileFacts ReadFileFacts(const std::string& path, bool from64BitView)
{
    const RealFileSystem real(from64BitView);
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
