#pragma once
// One stand-in receiver window: a small visible top-level window of the class
// the bridge looks for, which logs the two registered messages it receives
// and shows the last one.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "receivers/ReceiverOptions.h"
#include "win/UniqueResource.h"

namespace receivers {

// The identifiers of the two names, as every process that registers them sees them.
struct ProtocolMessages {
    UINT deleteResource = 0;
    UINT acqDenoptix = 0;
};

ProtocolMessages RegisterProtocolMessages();

struct ReceiverSetup {
    const char* className = nullptr;
    std::string title;
    POINT position{};
    DWORD hangMs = 0;
    std::optional<std::string> clipboardAfter;
    CloseBridge closeBridge = CloseBridge::No;
    LRESULT result = 0;
};

class ReceiverWindow {
public:
    using LineSink = std::function<void(const std::string& line)>;

    ReceiverWindow(ReceiverSetup setup, ProtocolMessages messages, LineSink sink);
    ReceiverWindow(const ReceiverWindow&) = delete;
    ReceiverWindow& operator=(const ReceiverWindow&) = delete;

    HWND handle() const noexcept { return window_.get(); }

private:
    static LRESULT CALLBACK Trampoline(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    LRESULT OnProtocolMessage(HWND window, const char* name, WPARAM wParam, LPARAM lParam);
    void CloseTheBridge() const;
    void OnCreate(HWND window);
    void OnSize(int width, int height);
    void ShowLine(const std::string& line);

    ReceiverSetup setup_;
    ProtocolMessages messages_;
    LineSink sink_;
    HWND label_ = nullptr;  // child; dies with the window
    win::UniqueHwnd window_;
};

}  // namespace receivers
