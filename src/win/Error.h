#pragma once
// One exception type for every failure the operator may be shown, and the
// helpers that turn Win32, COM and registry failures into it.
#include <windows.h>

#include <stdexcept>
#include <string>

namespace win {

// Carries the text the operator will see in the error report.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The system's own text for an error code or HRESULT, without the trailing
// line break FormatMessage adds; "Error 0x...." when the system has none.
std::string SystemMessage(DWORD code);

[[noreturn]] void ThrowLastError();
[[noreturn]] void ThrowLastError(const std::string& context);

inline void ThrowIfFailed(HRESULT hr)
{
    if (FAILED(hr)) throw Error(SystemMessage(static_cast<DWORD>(hr)));
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
