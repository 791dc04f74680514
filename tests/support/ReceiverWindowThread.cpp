#include "ReceiverWindowThread.h"

#include <stdexcept>

namespace testing_support {

// Registered by name, as a real receiver does: the same ids as the bridge's.
UINT ReceiverWindowThread::AcqMessage()
{
    static const UINT id = RegisterWindowMessageA("WM_ACQ_DENOPTIX");
    return id;
}

UINT ReceiverWindowThread::DeleteResourceMessage()
{
    static const UINT id = RegisterWindowMessageA("WM_DELETE_RESOURCE");
    return id;
}

ReceiverWindowThread::ReceiverWindowThread(std::string className, Handler onMessage)
    : className_(std::move(className)), onMessage_(std::move(onMessage)), ready_(CreateEventA(nullptr, TRUE, FALSE, nullptr))
{
    AcqMessage();
    DeleteResourceMessage();
    thread_.reset(CreateThread(nullptr, 0, ThreadStart, this, 0, nullptr));
    WaitForSingleObject(ready_.get(), 10000);
    if (window_ == nullptr) throw std::runtime_error("receiver window not created: " + className_);
}

ReceiverWindowThread::~ReceiverWindowThread()
{
    PostMessageA(window_, WM_CLOSE, 0, 0);
    WaitForSingleObject(thread_.get(), 10000);
}

DWORD WINAPI ReceiverWindowThread::ThreadStart(void* self)
{
    static_cast<ReceiverWindowThread*>(self)->Run();
    return 0;
}

void ReceiverWindowThread::Run()
{
    WNDCLASSEXA type{};
    type.cbSize = sizeof type;
    type.lpfnWndProc = Proc;
    type.hInstance = GetModuleHandleA(nullptr);
    type.lpszClassName = className_.c_str();
    RegisterClassExA(&type);
    window_ = CreateWindowExA(0, className_.c_str(), "test receiver", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              type.hInstance, this);
    SetEvent(ready_.get());
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    UnregisterClassA(className_.c_str(), type.hInstance);
}

LRESULT CALLBACK ReceiverWindowThread::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<ReceiverWindowThread*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self != nullptr && (message == AcqMessage() || message == DeleteResourceMessage())) {
        self->onMessage_(hwnd, message, wParam, lParam);
        return 0;
    }
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace testing_support
