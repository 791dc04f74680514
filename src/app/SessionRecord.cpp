#include "app/SessionRecord.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

#include "trail/SharedObjects.h"
#include "trail/Trail.h"
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
    RecordHeader header;
    DWORD processId;
    // The process's creation time: an id that Windows has given to another
    // process since is not taken for the bridge.
    DWORD startedLow;
    DWORD startedHigh;
    DWORD elevated;
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

std::string Folder(const SharedRecord& record)
{
    return std::string(record.folder, std::min(record.folderLength, kMaxFolder));
}

// Any process of the session can write into the record, so nothing read
// from it is trusted further than its own size.
std::optional<OpenBridge> StillRunning(const SharedRecord& record)
{
    const DWORD id = record.processId;
    if (id == 0 || id == GetCurrentProcessId()) return std::nullopt;
    win::UniqueHandle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
    if (!process) {
        // Closed to this process is not gone: an elevated bridge runs.
        if (GetLastError() != ERROR_ACCESS_DENIED) return std::nullopt;
        return OpenBridge{id, Folder(record), record.elevated != 0, {}, false};
    }
    if (WaitForSingleObject(process.get(), 0) != WAIT_TIMEOUT) return std::nullopt;
    const std::uint64_t started = (std::uint64_t{record.startedHigh} << 32) | record.startedLow;
    if (StartTime(process.get()) != started) return std::nullopt;
    return OpenBridge{id, Folder(record), record.elevated != 0, std::move(process), false};
}

void Claim(SharedRecord& record, std::string_view folder, bool elevated)
{
    const std::uint64_t started = StartTime(GetCurrentProcess());
    const DWORD length = static_cast<DWORD>(std::min<std::size_t>(folder.size(), kMaxFolder));
    record.header = {kRecordMagic, kRecordVersion};
    std::memcpy(record.folder, folder.data(), length);
    record.folderLength = length;
    record.elevated = elevated ? 1 : 0;
    record.startedLow = static_cast<DWORD>(started);
    record.startedHigh = static_cast<DWORD>(started >> 32);
    record.processId = GetCurrentProcessId();
}

win::UniqueHandle Usable(const char* kind, const char* name, const trail::SharedObject& object)
{
    if (object.handle == nullptr)
        trail::Write("second start: not looked for, " + trail::DescribeUnusable(kind, name, object));
    return win::UniqueHandle(object.handle);
}

// The size the mapping really has: one made by another release, or by
// anybody, may be smaller than this release's record.
std::size_t ViewSize(const void* view)
{
    MEMORY_BASIC_INFORMATION region{};
    if (VirtualQuery(view, &region, sizeof region) == 0) return 0;
    return region.RegionSize;
}

}  // namespace

RecordKind KindOfRecord(const RecordHeader& header, std::size_t bytes)
{
    // Too small for this release's record: made by another, or by anybody.
    if (bytes < sizeof(SharedRecord)) return RecordKind::OtherVersion;
    if (header.magic == 0 && header.version == 0) return RecordKind::Empty;
    if (header.magic == kRecordMagic && header.version == kRecordVersion) return RecordKind::Ours;
    return RecordKind::OtherVersion;
}

std::unique_ptr<SessionRecord> SessionRecord::Open()
{
    win::UniqueHandle mutex = Usable("the mutex", kMutexName, trail::CreateSharedMutex(kMutexName));
    if (!mutex) return nullptr;
    win::UniqueHandle mapping =
        Usable("the mapping", kMappingName, trail::CreateSharedMapping(kMappingName, sizeof(SharedRecord)));
    if (!mapping) return nullptr;
    // The whole mapping, whatever size its maker gave it.
    win::UniqueMappedView view(
        win::CheckLastError(MapViewOfFile(mapping.get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, 0), "MapViewOfFile"));
    // A page at least: the header can always be read.
    const std::size_t bytes = ViewSize(view.get());
    return std::unique_ptr<SessionRecord>(new SessionRecord(std::move(mutex), std::move(mapping), std::move(view), bytes));
}

SessionRecord::SessionRecord(win::UniqueHandle mutex, win::UniqueHandle mapping, win::UniqueMappedView view,
                             std::size_t bytes)
    : mutex_(std::move(mutex)), mapping_(std::move(mapping)), view_(std::move(view)), bytes_(bytes)
{
}

std::optional<OpenBridge> SessionRecord::FindRunningOrClaim(std::string_view folder, bool elevated)
{
    const RecordLock lock(mutex_.get());
    const auto& header = *static_cast<const RecordHeader*>(view_.get());
    switch (KindOfRecord(header, bytes_)) {
    case RecordKind::OtherVersion: {
        OpenBridge other;
        other.otherVersion = true;
        return other;
    }
    case RecordKind::Ours: {
        const auto& record = *static_cast<const SharedRecord*>(view_.get());
        if (std::optional<OpenBridge> running = StillRunning(record)) return running;
        break;
    }
    case RecordKind::Empty:
        break;
    }
    Claim(*static_cast<SharedRecord*>(view_.get()), folder, elevated);
    return std::nullopt;
}

}  // namespace app
