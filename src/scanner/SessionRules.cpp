#include "scanner/SessionRules.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cwchar>

#include "win/Error.h"

namespace scanner {

namespace {

// The one change of the control's state that the session acts on; what the
// codes mean is the control's business.
constexpr short kDisablingFrom = 3;
constexpr short kDisablingTo = 6;

// std::string's growth policy is the library's choice (an exact reserve, for
// one, is quadratic over many names), so the doubling is done here.
void MakeRoomFor(std::string& text, std::size_t extra)
{
    const std::size_t needed = text.size() + extra;
    if (needed > text.capacity()) text.reserve(std::max(needed, text.capacity() * 2));
}

}  // namespace

bool ReportDisablesAccendi(short lastControlState, short sNewState, bool accendiEnabled)
{
    return sNewState != lastControlState && lastControlState == kDisablingFrom && sNewState == kDisablingTo &&
           accendiEnabled;
}

void AppendImageName(std::string& imageNames, const wchar_t* szName)
{
    const std::size_t length = szName != nullptr ? std::wcslen(szName) : 0;
    if (length > static_cast<std::size_t>(INT_MAX)) throw win::Error("Image name too long to convert");
    const int wideLength = static_cast<int>(length);
    const int narrowLength =
        wideLength == 0 ? 0 : WideCharToMultiByte(CP_ACP, 0, szName, wideLength, nullptr, 0, nullptr, nullptr);
    if (wideLength != 0 && narrowLength <= 0) win::ThrowLastError();

    MakeRoomFor(imageNames, static_cast<std::size_t>(narrowLength) + 2);
    const std::size_t start = imageNames.size();
    imageNames.resize(start + static_cast<std::size_t>(narrowLength));
    if (narrowLength > 0)
        WideCharToMultiByte(CP_ACP, 0, szName, wideLength, imageNames.data() + start, narrowLength, nullptr, nullptr);
    imageNames += "\r\n";
}

}  // namespace scanner
