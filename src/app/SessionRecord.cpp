#include "app/SessionRecord.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "win/Error.h"

namespace app {

namespace {

constexpr char kMappingName[] = "Local\\DenoptixBridge";
constexpr char kMutexName[] = "Local\\DenoptixBridgeRecord";
// The mutex is held for a copy of a few bytes; a bridge that keeps it this
// long is hung, and this start gives up rather than wait with it.
constexpr DWORD kLockWaitMs = 5000;
// A command line holds at most 32,767 characters, its tail fewer.
constexpr DWORD kMaxFolder = 32768;

// One layout for the 32- and the 64-bit bridge: fixed-size fields only.
struct SharedRecord {
    DWORD processId;
    // The process's creation time: an id that Windows has given to another
    // process since is not taken for the bridge.
    DWORD startedLow;
    DWORD startedHigh;
    DWORD folderLength;
    char folder[kMaxFolder];
};

std::uint64_t StartTime(HANDLE process)
{
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
    return (std::uint64_t{created.dwHighDateTime} << 32) | created.dwLowDateTime;
}

class RecordLock {
public:
    explicit RecordLock(HANDLE mutex) : mutex_(mutex)
    {
        const DWORD waited = WaitForSingleObject(mutex, kLockWaitMs);
        // Abandoned: a bridge ended while it held the lock. The record is
        // checked against the running processes in any case.
        if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED)
            throw win::Error("Another Denoptix does not let go of the record of running bridges");
    }
    ~RecordLock() { ReleaseMutex(mutex_); }
    RecordLock(const RecordLock&) = delete;
    RecordLock& operator=(const RecordLock&) = delete;

private:
    HANDLE mutex_;
};

// Any process of the session can write into the record, so nothing read
// from it is trusted further than its own size.
std::optional<RunningBridge> StillRunning(const SharedRecord& record)
{
    const DWORD id = record.processId;
    if (id == 0 || id == GetCurrentProcessId()) return std::nullopt;
    win::UniqueHandle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
    if (!process || WaitForSingleObject(process.get(), 0) != WAIT_TIMEOUT) return std::nullopt;
    const std::uint64_t started = (std::uint64_t{record.startedHigh} << 32) | record.startedLow;
    if (StartTime(process.get()) != started) return std::nullopt;
    const DWORD length = std::min(record.folderLength, kMaxFolder);
    return RunningBridge{id, std::string(record.folder, length), std::move(process)};
}

void Claim(SharedRecord& record, std::string_view folder)
{
    const std::uint64_t started = StartTime(GetCurrentProcess());
    const DWORD length = static_cast<DWORD>(std::min<std::size_t>(folder.size(), kMaxFolder));
    std::memcpy(record.folder, folder.data(), length);
    record.folderLength = length;
    record.startedLow = static_cast<DWORD>(started);
    record.startedHigh = static_cast<DWORD>(started >> 32);
    record.processId = GetCurrentProcessId();
}

}  // namespace

SessionRecord::SessionRecord()
    : mutex_(win::CheckLastError(CreateMutexA(nullptr, FALSE, kMutexName), "CreateMutex")),
      mapping_(win::CheckLastError(
          CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(SharedRecord), kMappingName),
          "CreateFileMapping")),
      view_(win::CheckLastError(MapViewOfFile(mapping_.get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(SharedRecord)),
                                "MapViewOfFile"))
{
}

std::optional<RunningBridge> SessionRecord::FindRunningOrClaim(std::string_view folder)
{
    const RecordLock lock(mutex_.get());
    auto& record = *static_cast<SharedRecord*>(view_.get());
    if (std::optional<RunningBridge> running = StillRunning(record)) return running;
    Claim(record, folder);
    return std::nullopt;
}

}  // namespace app
