#include "win/Error.h"

#include <cstdio>

#include "win/UniqueResource.h"

namespace win {

std::string SystemMessage(DWORD code)
{
    UniqueHlocal buffer;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<char*>(buffer.put()), 0, nullptr);
    std::string text;
    if (length != 0 && buffer) text.assign(static_cast<const char*>(buffer.get()), length);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    // Wine has no text for this one, and it is the operator's most likely
    // start-up failure: the scanner's control is not installed.
    if (text.empty() && code == static_cast<DWORD>(REGDB_E_CLASSNOTREG)) text = "Class not registered";
    if (text.empty()) {
        char fallback[32];
        std::snprintf(fallback, sizeof fallback, "Error 0x%08lX", static_cast<unsigned long>(code));
        text = fallback;
    }
    return text;
}

void ThrowLastError()
{
    const DWORD code = GetLastError();
    throw Error(SystemMessage(code), HRESULT_FROM_WIN32(code));
}

void ThrowLastError(const std::string& context)
{
    const DWORD code = GetLastError();
    throw Error(context + ": " + SystemMessage(code), HRESULT_FROM_WIN32(code));
}

}  // namespace win
