#include "win/Strings.h"

#include <windows.h>

#include <climits>

#include "win/Error.h"

namespace win {

namespace {
int CheckedLength(size_t size)
{
    if (size > static_cast<size_t>(INT_MAX)) throw Error("Text too long to convert");
    return static_cast<int>(size);
}
}  // namespace

std::wstring ToWide(std::string_view narrow)
{
    if (narrow.empty()) return {};
    const int length = CheckedLength(narrow.size());
    const int needed = MultiByteToWideChar(CP_ACP, 0, narrow.data(), length, nullptr, 0);
    if (needed <= 0) ThrowLastError();
    std::wstring wide(static_cast<size_t>(needed), L'\0');
    MultiByteToWideChar(CP_ACP, 0, narrow.data(), length, wide.data(), needed);
    return wide;
}

std::string ToNarrow(std::wstring_view wide)
{
    if (wide.empty()) return {};
    const int length = CheckedLength(wide.size());
    const int needed = WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) ThrowLastError();
    std::string narrow(static_cast<size_t>(needed), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), length, narrow.data(), needed, nullptr, nullptr);
    return narrow;
}

}  // namespace win
