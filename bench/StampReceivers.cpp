#include "StampReceivers.h"

#include <cstring>
#include <mutex>
#include <stdexcept>
#include <string>

#include "BenchProtocol.h"
#include "Clock.h"
#include "win/UniqueResource.h"

namespace bench {

struct StampReceiver::State {
    std::string windowClass;
    UINT acqMessage = 0;
    HWND window = nullptr;
    win::UniqueHandle ready{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    win::UniqueHandle thread;
    mutable std::mutex lock;
    Receipt last;
};

std::uint64_t HashBytes(std::string_view bytes)
{
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (const char byte : bytes) hash = (hash ^ static_cast<unsigned char>(byte)) * 1099511628211ull;
    return hash;
}

namespace {

// Reads the text as a real receiver would; another program may hold the
// clipboard for a moment.
std::string_view ReadClipboardText(HWND window, std::string& copy)
{
    for (int attempt = 0; !OpenClipboard(window); ++attempt) {
        if (attempt == 50) return {};
        Sleep(10);
    }
    copy.clear();
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const auto* text = static_cast<const char*>(GlobalLock(data))) {
            copy.assign(text, strnlen(text, GlobalSize(data)));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return copy;
}

LRESULT CALLBACK ReceiverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    auto* state = reinterpret_cast<StampReceiver::State*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (state != nullptr && message == state->acqMessage) {
        std::string copy;
        const std::string_view text = ReadClipboardText(window, copy);
        const double done = NowMs();
        std::lock_guard<std::mutex> guard(state->lock);
        state->last = Receipt{state->last.count + 1, done, text.size(), HashBytes(text)};
        return 0;
    }
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

DWORD WINAPI RunReceiver(void* context)
{
    auto& state = *static_cast<StampReceiver::State*>(context);
    WNDCLASSEXA type{};
    type.cbSize = sizeof type;
    type.lpfnWndProc = ReceiverProc;
    type.hInstance = GetModuleHandleA(nullptr);
    type.lpszClassName = state.windowClass.c_str();
    RegisterClassExA(&type);
    state.window = CreateWindowExA(0, state.windowClass.c_str(), "bench receiver", WS_POPUP, 0, 0, 10, 10, nullptr,
                                   nullptr, type.hInstance, &state);
    SetEvent(state.ready.get());
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    return 0;
}

}  // namespace

StampReceiver::StampReceiver(const char* windowClass) : state_(std::make_unique<State>())
{
    state_->windowClass = windowClass;
    state_->acqMessage = RegisterWindowMessageA(kAcqMessageName);
    state_->thread.reset(CreateThread(nullptr, 0, RunReceiver, state_.get(), 0, nullptr));
    WaitForSingleObject(state_->ready.get(), 10000);
    if (state_->window == nullptr) throw std::runtime_error(std::string("cannot create receiver ") + windowClass);
}

StampReceiver::~StampReceiver()
{
    PostMessageA(state_->window, WM_CLOSE, 0, 0);
    WaitForSingleObject(state_->thread.get(), 10000);
}

Receipt StampReceiver::Last() const
{
    std::lock_guard<std::mutex> guard(state_->lock);
    return state_->last;
}

}  // namespace bench
