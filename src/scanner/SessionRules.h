#pragma once
// The scan session's rules that need no window: when a state report disables
// Accendi, and how a new image's name joins the list handed to the host.
#include <string>

namespace scanner {

// True when this state report must disable Accendi: only a change from 3 to
// 6 while the button is still enabled. The caller records sNewState as the
// last known state afterwards, whatever the answer.
bool ReportDisablesAccendi(short lastControlState, short sNewState, bool accendiEnabled);

// Converts szName, read up to its first NUL, to the ANSI code page (no flags,
// the code page's own default character for what it cannot hold) and appends
// it and CR LF. A null or empty name adds a bare CR LF. The list grows
// geometrically, so each append costs amortised constant time.
void AppendImageName(std::string& imageNames, const wchar_t* szName);

}  // namespace scanner
