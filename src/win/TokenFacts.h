#pragma once
// How a program was started, as its access token says: run as administrator
// (elevated) or not, and at which integrity level. Windows refuses a message
// from a program to a window of one at a higher level, so the trail and the
// workstation check name both.
#include <windows.h>

#include <optional>
#include <string>

namespace win {

struct TokenFacts {
    bool elevated = false;
    std::optional<DWORD> integrity;  // the label's RID (SECURITY_MANDATORY_*_RID), when the token has one
};

// The facts of the process's token, or nothing when it cannot be read: an
// elevated program's token is usually closed to one that is not.
std::optional<TokenFacts> ReadTokenFacts(HANDLE process) noexcept;
std::optional<TokenFacts> ReadTokenFactsOfWindow(HWND window) noexcept;

// "low", "medium", "high": by the range the RID falls in.
std::string IntegrityLevelName(DWORD rid);

// "not elevated, medium integrity", "elevated, high integrity" (elevated:
// run as administrator), "elevation unknown".
std::string DescribeToken(const std::optional<TokenFacts>& facts);

}  // namespace win
