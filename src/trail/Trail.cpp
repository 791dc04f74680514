#include "trail/Trail.h"

#include <atomic>
#include <cstdio>
#include <mutex>
#include <utility>
#include <vector>

#include "trail/Policy.h"
#include "trail/SharedObjects.h"

namespace trail {

namespace {

constexpr char kLogName[] = "\\Denoptix.log";
constexpr char kPreviousLogName[] = "\\Denoptix.1.log";
// Two bridges started at once take turns; a line that cannot get its turn
// in this time is dropped rather than keep the operator waiting.
constexpr DWORD kTurnWaitMs = 500;
constexpr char kTurnName[] = "Local\\DenoptixTrail";

// This module sits below every other, so it owns its two handles itself.
class OwnedHandle {
public:
    explicit OwnedHandle(HANDLE handle = nullptr) noexcept : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    ~OwnedHandle() { if (handle_ != nullptr) CloseHandle(handle_); }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    OwnedHandle& operator=(OwnedHandle&& other) noexcept
    {
        std::swap(handle_, other.handle_);
        return *this;
    }
    HANDLE get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != nullptr; }

private:
    HANDLE handle_;
};

struct TrailState {
    std::mutex mutex;  // the threads of this process
    // Who holds `mutex`, and how many lines wait in memory, readable without
    // it by a crash on any thread.
    std::atomic<DWORD> holder{0};
    std::atomic<std::size_t> waitingCount{0};
    bool writing = false;
    std::vector<std::string> waiting;  // lines before BeginWriting
    bool decided = false;
    bool enabled = false;
    std::string folder;
    OwnedHandle turn;  // the bridges of this session; null: lines go without turns
};

TrailState& State()
{
    static TrailState state;
    return state;
}

// The lock, with a note of which thread holds it.
class Hold {
public:
    explicit Hold(TrailState& state) : state_(state), lock_(state.mutex) { state_.holder = GetCurrentThreadId(); }
    // Only when the lock is free now; never tried by the thread holding it,
    // for which trying would be undefined.
    Hold(TrailState& state, std::try_to_lock_t) : state_(state)
    {
        if (state_.holder == GetCurrentThreadId()) return;
        lock_ = std::unique_lock<std::mutex>(state.mutex, std::try_to_lock);
        if (lock_.owns_lock()) state_.holder = GetCurrentThreadId();
    }
    ~Hold()
    {
        if (lock_.owns_lock()) state_.holder = 0;
    }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;
    bool Held() const noexcept { return lock_.owns_lock(); }

private:
    TrailState& state_;
    std::unique_lock<std::mutex> lock_;
};

// The waiting lines, all at once, leaving none.
std::string TakeWaiting(TrailState& state)
{
    std::string lines;
    for (const std::string& line : state.waiting) lines += line;
    state.waiting.clear();
    state.waitingCount = 0;
    return lines;
}

}  // namespace

std::string SupportFolder()
{
    char base[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("LOCALAPPDATA", base, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    std::string folder(base, length);
    for (const char* level : {"\\Velt", "\\Denoptix"}) {
        folder += level;
        if (!CreateDirectoryA(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return {};
    }
    return folder;
}

namespace {

std::string Line(std::string_view event);

// The turn is only a courtesy between bridges: one that cannot be had (an
// object of that name made by another owner, or closed to this bridge) costs
// the turns, never the trail. Returns the line saying so, if any.
std::string Decide(TrailState& state)
{
    state.decided = true;
    if (TrailTurnedOffByPolicy()) return {};
    state.folder = SupportFolder();
    state.enabled = !state.folder.empty();
    const SharedObject turn = CreateSharedMutex(kTurnName);
    state.turn = OwnedHandle(turn.handle);
    if (state.turn) return {};
    return Line("trail: " + DescribeUnusable("the mutex", kTurnName, turn) + "; lines are written without taking turns");
}

// Whole lines at a time, taking turns with other bridges.
void WriteToFile(TrailState& state, const std::string& lines)
{
    const std::string note = state.decided ? std::string() : Decide(state);
    if (!state.enabled) return;
    if (state.turn) {
        const DWORD turn = WaitForSingleObject(state.turn.get(), kTurnWaitMs);
        if (turn != WAIT_OBJECT_0 && turn != WAIT_ABANDONED) return;
    }
    const bool written = AppendLine(state.folder, note + lines);
    if (state.turn) ReleaseMutex(state.turn.get());
    // One attempt per start: a trail that cannot be written stays off.
    if (!written) state.enabled = false;
}

// One event, one line: a stray line break would split it.
std::string Line(std::string_view event)
{
    std::string line = UtcStamp(StampFor::Line) + " " + std::to_string(GetCurrentProcessId()) + " ";
    for (const char c : event) line += (c == '\r' || c == '\n') ? ' ' : c;
    line += "\r\n";
    return line;
}

OwnedHandle OpenForAppending(const std::string& path)
{
    return OwnedHandle(CreateFileA(path.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace

bool AppendLine(const std::string& folder, std::string_view line) noexcept
{
    try {
        const std::string path = folder + kLogName;
        OwnedHandle file = OpenForAppending(path);
        if (!file) return false;
        LARGE_INTEGER size{};
        if (GetFileSizeEx(file.get(), &size) && static_cast<std::uint64_t>(size.QuadPart) >= kRotateBytes) {
            file = OwnedHandle();
            if (!MoveFileExA(path.c_str(), (folder + kPreviousLogName).c_str(), MOVEFILE_REPLACE_EXISTING))
                return false;
            file = OpenForAppending(path);
            if (!file) return false;
        }
        DWORD written = 0;
        return WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
               written == line.size();
    } catch (...) {
        return false;
    }
}

void Write(std::string_view event) noexcept
{
    try {
        TrailState& state = State();
        const Hold hold(state);
        if (!state.writing) {
            state.waiting.push_back(Line(event));
            state.waitingCount = state.waiting.size();
            return;
        }
        WriteToFile(state, Line(event));
    } catch (...) {
        // Out of memory: this line is lost, the bridge goes on.
    }
}

void BeginWriting() noexcept
{
    try {
        TrailState& state = State();
        const Hold hold(state);
        if (state.writing) return;
        state.writing = true;
        const std::string lines = TakeWaiting(state);
        if (!lines.empty()) WriteToFile(state, lines);
    } catch (...) {
        // Out of memory: the waiting lines are lost, the bridge goes on.
    }
}

void WriteAtCrash(std::string_view event) noexcept
{
    try {
        TrailState& state = State();
        // Never waits: the fault may have struck this very thread while it
        // held the lock, midway through a line.
        const Hold hold(state, std::try_to_lock);
        if (!hold.Held()) {
            const std::size_t lost = state.waitingCount;
            const std::string folder = TrailTurnedOffByPolicy() ? std::string() : SupportFolder();
            if (!folder.empty())
                AppendLine(folder, Line(lost == 0 ? std::string(event)
                                                  : std::string(event) + " (" + std::to_string(lost) +
                                                        " earlier lines held in memory could not be written)"));
            return;
        }
        state.writing = true;
        WriteToFile(state, TakeWaiting(state) + Line(event));
    } catch (...) {
        // Out of memory while crashing: the report box still comes.
    }
}

std::string UtcStamp(StampFor use)
{
    SYSTEMTIME now{};
    GetSystemTime(&now);
    char text[40];
    if (use == StampFor::Line)
        std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02u.%03uZ", now.wYear, now.wMonth, now.wDay,
                      now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
    else if (use == StampFor::FileName)
        std::snprintf(text, sizeof text, "%04u%02u%02uT%02u%02u%02uZ", now.wYear, now.wMonth, now.wDay, now.wHour,
                      now.wMinute, now.wSecond);
    else
        std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u UTC", now.wYear, now.wMonth, now.wDay,
                      now.wHour, now.wMinute, now.wSecond);
    return text;
}

std::string Hex(std::uint32_t code)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(code));
    return text;
}

std::int64_t Now() noexcept
{
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    return counter.QuadPart;
}

std::string Since(std::int64_t start)
{
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    const double ms = static_cast<double>(Now() - start) * 1000.0 / static_cast<double>(frequency.QuadPart);
    char text[32];
    std::snprintf(text, sizeof text, "%.2f ms", ms);
    return text;
}

}  // namespace trail
