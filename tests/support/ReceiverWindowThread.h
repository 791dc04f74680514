#pragma once
// A receiver inside the test process: a top-level window of the given class
// on a thread of its own, as the host or the photo server would have.
#include <windows.h>

#include <functional>
#include <string>

#include "win/UniqueResource.h"

namespace testing_support {

class ReceiverWindowThread {
public:
    // Sees each WM_ACQ_DENOPTIX and WM_DELETE_RESOURCE on the window's own
    // thread before the send returns.
    using Handler = std::function<void(HWND window, UINT message, WPARAM wParam, LPARAM lParam)>;
    ReceiverWindowThread(std::string className, Handler onMessage);
    ~ReceiverWindowThread();
    ReceiverWindowThread(const ReceiverWindowThread&) = delete;
    ReceiverWindowThread& operator=(const ReceiverWindowThread&) = delete;
    HWND Window() const { return window_; }

    static UINT AcqMessage();
    static UINT DeleteResourceMessage();

private:
    static DWORD WINAPI ThreadStart(void* self);
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Run();

    std::string className_;
    Handler onMessage_;
    HWND window_ = nullptr;
    win::UniqueHandle ready_;
    win::UniqueHandle thread_;
};

}  // namespace testing_support
