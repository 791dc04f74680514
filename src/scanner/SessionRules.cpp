#include "scanner/SessionRules.h"

#include <algorithm>

#include "win/Strings.h"

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
    const std::string name = szName != nullptr ? win::ToNarrow(szName) : std::string();
    MakeRoomFor(imageNames, name.size() + 2);
    imageNames += name;
    imageNames += "\r\n";
}

}  // namespace scanner
