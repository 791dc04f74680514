#pragma once
// What each bridge tells the other bridges of its Windows session: its
// process, its folder and whether it runs as administrator, in a named
// mapping of the session's own ("Local") namespace. It is read and written
// under one named mutex, so two starts at the same moment cannot both find
// the session free. Both are made with a descriptor of their own, so a plain
// bridge can open what an elevated one made.
#include <windows.h>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "win/UniqueResource.h"

namespace app {

// Another bridge of this session that still runs.
struct OpenBridge {
    DWORD processId = 0;
    std::string folder;         // its tail, exactly as it was given
    bool elevated = false;      // it runs as administrator
    // Signalled once it has ended; null when its process is closed to this
    // one, as an elevated process is to a plain one: it runs, but cannot be
    // watched or settled with from here.
    win::UniqueHandle process;
    // The record was written by a bridge of another release, whose layout
    // this one does not read: nothing else here is known.
    bool otherVersion = false;
};

// The first words of the record: a later layout must be told apart, never
// misread. The record only grows at its end.
inline constexpr DWORD kRecordMagic = 0x42584E44;  // "DNXB"
inline constexpr DWORD kRecordVersion = 1;

struct RecordHeader {
    DWORD magic;
    DWORD version;
};

enum class RecordKind { Empty, Ours, OtherVersion };
// What a record that starts with `header` is; `bytes` is how much of it the
// mapping holds.
RecordKind KindOfRecord(const RecordHeader& header, std::size_t bytes);

class SessionRecord {
public:
    // Opens the record, making it for the first bridge of the session.
    // Null when the record cannot be had (its name taken by another owner,
    // or closed to this bridge): the trail says why, and the start goes on
    // as if no bridge ran.
    static std::unique_ptr<SessionRecord> Open();

    // The bridge the record names, when it still runs. Otherwise this
    // process takes the record, for this folder, and nothing comes back.
    std::optional<OpenBridge> FindRunningOrClaim(std::string_view folder, bool elevated);

private:
    SessionRecord(win::UniqueHandle mutex, win::UniqueHandle mapping, win::UniqueMappedView view, std::size_t bytes);

    win::UniqueHandle mutex_;
    win::UniqueHandle mapping_;
    win::UniqueMappedView view_;
    std::size_t bytes_;  // of the view, as the mapping has it
};

}  // namespace app
