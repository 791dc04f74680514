#include "win/TokenFacts.h"

#include "win/UniqueResource.h"

namespace win {

namespace {

std::optional<DWORD> IntegrityOf(HANDLE token) noexcept
{
    // The label and its SID fit here; a token without one says nothing.
    alignas(TOKEN_MANDATORY_LABEL) BYTE buffer[sizeof(TOKEN_MANDATORY_LABEL) + SECURITY_MAX_SID_SIZE] = {};
    DWORD size = 0;
    if (!GetTokenInformation(token, TokenIntegrityLevel, buffer, sizeof buffer, &size)) return std::nullopt;
    const PSID sid = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(buffer)->Label.Sid;
    if (sid == nullptr || !IsValidSid(sid) || *GetSidSubAuthorityCount(sid) == 0) return std::nullopt;
    return *GetSidSubAuthority(sid, *GetSidSubAuthorityCount(sid) - 1u);
}

}  // namespace

std::optional<TokenFacts> ReadTokenFacts(HANDLE process) noexcept
{
    UniqueHandle token;
    if (!OpenProcessToken(process, TOKEN_QUERY, token.put())) return std::nullopt;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (!GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size)) return std::nullopt;
    return TokenFacts{elevation.TokenIsElevated != 0, IntegrityOf(token.get())};
}

std::optional<TokenFacts> ReadTokenFactsOfWindow(HWND window) noexcept
{
    DWORD processId = 0;
    if (GetWindowThreadProcessId(window, &processId) == 0) return std::nullopt;
    const UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) return std::nullopt;
    return ReadTokenFacts(process.get());
}

std::string IntegrityLevelName(DWORD rid)
{
    if (rid < SECURITY_MANDATORY_LOW_RID) return "untrusted";
    if (rid < SECURITY_MANDATORY_MEDIUM_RID) return "low";
    if (rid < SECURITY_MANDATORY_HIGH_RID) return "medium";
    if (rid < SECURITY_MANDATORY_SYSTEM_RID) return "high";
    if (rid < SECURITY_MANDATORY_PROTECTED_PROCESS_RID) return "system";
    return "protected";
}

std::string DescribeToken(const std::optional<TokenFacts>& facts)
{
    if (!facts) return "elevation unknown";
    return std::string(facts->elevated ? "elevated" : "not elevated") + ", " +
           (facts->integrity ? IntegrityLevelName(*facts->integrity) + " integrity" : "integrity level unknown");
}

}  // namespace win
