#pragma once
// What both floors make the same way: their window classes, and the
// hand-over: the names on the clipboard (with the given marker formats after
// CF_TEXT, a DWORD 0 each), then the set's message to the two receivers, with
// exactly the calls the bridge makes for that.
#include <windows.h>

#include <cstring>
#include <initializer_list>
#include <string>

#include "BenchProtocol.h"
#include "win/UniqueResource.h"

namespace bench {

inline bool RegisterFloorClass(HINSTANCE instance, const char* name, WNDPROC procedure)
{
    WNDCLASSEXA type{};
    type.cbSize = sizeof type;
    type.lpfnWndProc = procedure;
    type.hInstance = instance;
    type.hCursor = LoadCursor(nullptr, IDC_ARROW);
    type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    type.lpszClassName = name;
    return RegisterClassExA(&type) != 0;
}

inline HGLOBAL SharedCopy(const void* bytes, std::size_t size)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size);
    if (void* target = block != nullptr ? GlobalLock(block) : nullptr) {
        std::memcpy(target, bytes, size);
        GlobalUnlock(block);
    }
    return block;
}

inline bool PutOnClipboard(HWND owner, const std::string& text, std::initializer_list<UINT> markers)
{
    // As the bridge: 8 tries 40 ms apart while another program holds it.
    for (int attempt = 1; !OpenClipboard(owner); ++attempt) {
        if (attempt == 8) return false;
        Sleep(40);
    }
    win::UniqueHglobal block(SharedCopy(text.c_str(), text.size() + 1));
    const bool done = block && EmptyClipboard() && SetClipboardData(CF_TEXT, block.get()) != nullptr;
    if (done) block.release();
    const DWORD mayNot = 0;
    for (const UINT format : markers) {
        win::UniqueHglobal marker(done ? SharedCopy(&mayNot, sizeof mayNot) : nullptr);
        if (marker && SetClipboardData(format, marker.get()) != nullptr) marker.release();
    }
    CloseClipboard();
    return done;
}

inline void SendToReceivers(UINT acqMessage)
{
    for (const char* windowClass : {kHostWindowClass, kPhotoServerWindowClass}) {
        HWND target = FindWindowA(windowClass, nullptr);
        if (target == nullptr) continue;
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(target, acqMessage, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, kSendTimeoutMs, &ignored);
    }
}

}  // namespace bench
