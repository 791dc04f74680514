#pragma once
// One exception type for every failure the operator may be shown, and the
// helpers that turn Win32, COM and registry failures into it.
#include <windows.h>

#include <stdexcept>
#include <string>

namespace win {

// Carries the text the operator will see in the error report, and the
// system's code behind it when there is one (S_OK when there is none).
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& text, HRESULT code = S_OK) : std::runtime_error(text), code_(code) {}
    explicit Error(const char* text, HRESULT code = S_OK) : std::runtime_error(text), code_(code) {}
    HRESULT Code() const noexcept { return code_; }

private:
    HRESULT code_;
};

// The system's own text for an error code or HRESULT, without the trailing
// line break FormatMessage adds; "Error 0x...." when the system has none.
std::string SystemMessage(DWORD code);

[[noreturn]] void ThrowLastError();
[[noreturn]] void ThrowLastError(const std::string& context);

inline void ThrowIfFailed(HRESULT hr)
{
    if (FAILED(hr)) throw Error(SystemMessage(static_cast<DWORD>(hr)), hr);
}

// For BOOL results and handles: a zero value means failure, with the reason
// in GetLastError.
template <typename T>
T CheckLastError(T result, const std::string& context = {})
{
    if (!result) {
        if (context.empty()) ThrowLastError();
        ThrowLastError(context);
    }
    return result;
}

}  // namespace win
