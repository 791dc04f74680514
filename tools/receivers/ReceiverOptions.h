#pragma once
// The stand-in receivers' command line.
#include <windows.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace receivers {

constexpr char kHostClass[] = "TTesmiraWnd";
constexpr char kPhotoClass[] = "VELT_FOTO_SERVER";

// Some receivers close the program that notified them, from inside the
// notification: by a send, which runs in the middle of the sender's own send,
// or by a post, which arrives once the sender is back in its message loop.
enum class CloseBridge { No, Send, Post };

// What one of the two windows does; a window left out is not created.
struct RoleOptions {
    bool enabled = true;
    DWORD hangMs = 0;
    std::optional<std::string> clipboardAfter;  // raw bytes, already unescaped
    CloseBridge closeBridge = CloseBridge::No;
};

struct ReceiverOptions {
    RoleOptions host;
    RoleOptions photo;
    std::string logPath;
    LRESULT result = 0;
    std::optional<unsigned> exitAfter;
    std::optional<DWORD> timeoutMs;
    std::optional<std::string> title;
    bool help = false;
};

class OptionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// args excludes the program name. Throws OptionError with a one-line reason.
ReceiverOptions ParseReceiverOptions(const std::vector<std::string>& args);

extern const char kReceiverUsage[];

}  // namespace receivers
