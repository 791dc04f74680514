#include "trail/SharedObjects.h"

#include <aclapi.h>
#include <sddl.h>

#include <vector>

namespace trail {

namespace {

// Frees what LocalAlloc gave on every path out.
class LocalMemory {
public:
    LocalMemory() = default;
    ~LocalMemory() { if (memory_ != nullptr) LocalFree(memory_); }
    LocalMemory(const LocalMemory&) = delete;
    LocalMemory& operator=(const LocalMemory&) = delete;
    void** put() noexcept { return &memory_; }
    void* get() const noexcept { return memory_; }

private:
    void* memory_ = nullptr;
};

std::vector<BYTE> TokenUser(HANDLE token)
{
    DWORD size = 0;
    GetTokenInformation(token, ::TokenUser, nullptr, 0, &size);
    if (size == 0) return {};
    std::vector<BYTE> buffer(size);
    if (!GetTokenInformation(token, ::TokenUser, buffer.data(), size, &size)) return {};
    return buffer;
}

std::string SidText(PSID sid)
{
    LocalMemory text;
    if (sid == nullptr || !ConvertSidToStringSidA(sid, reinterpret_cast<LPSTR*>(text.put()))) return {};
    return static_cast<const char*>(text.get());
}

// Made by somebody else: an owner other than this user, or none that can be read.
bool OwnedByUser(HANDLE object, const std::string& userSid)
{
    PSID owner = nullptr;
    LocalMemory descriptor;
    if (GetSecurityInfo(object, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                        descriptor.put()) != ERROR_SUCCESS)
        return false;
    return SidText(owner) == userSid;
}

template <typename Create>
SharedObject CreateShared(Create create) noexcept
{
    try {
        // The token's user does not change while the process runs.
        static const std::string user = CurrentUserSid();
        if (user.empty()) return {nullptr, SharedOutcome::Refused, GetLastError()};
        LocalMemory descriptor;
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(SharedObjectSddl(user).c_str(), SDDL_REVISION_1,
                                                                  descriptor.put(), nullptr))
            return {nullptr, SharedOutcome::Refused, GetLastError()};
        SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor.get(), FALSE};
        SetLastError(ERROR_SUCCESS);
        const HANDLE handle = create(&attributes);
        const DWORD error = GetLastError();
        if (handle == nullptr) return {nullptr, SharedOutcome::Refused, error};
        if (error != ERROR_ALREADY_EXISTS) return {handle, SharedOutcome::Created, ERROR_SUCCESS};
        if (OwnedByUser(handle, user)) return {handle, SharedOutcome::Opened, ERROR_SUCCESS};
        CloseHandle(handle);
        return {nullptr, SharedOutcome::OtherOwner, ERROR_SUCCESS};
    } catch (...) {
        return {nullptr, SharedOutcome::Refused, ERROR_OUTOFMEMORY};
    }
}

}  // namespace

std::string SharedObjectSddl(std::string_view userSid)
{
    const std::string user(userSid);
    return "O:" + user + "G:" + user + "D:P(A;;GA;;;" + user + ")(A;;GA;;;SY)S:(ML;;NWNR;;;ME)";
}

std::string CurrentUserSid()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
    const std::vector<BYTE> user = TokenUser(token);
    CloseHandle(token);
    if (user.empty()) return {};
    return SidText(reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid);
}

SharedObject CreateSharedMutex(const char* name) noexcept
{
    return CreateShared([name](SECURITY_ATTRIBUTES* attributes) { return CreateMutexA(attributes, FALSE, name); });
}

SharedObject CreateSharedMapping(const char* name, DWORD bytes) noexcept
{
    return CreateShared([name, bytes](SECURITY_ATTRIBUTES* attributes) {
        return CreateFileMappingA(INVALID_HANDLE_VALUE, attributes, PAGE_READWRITE, 0, bytes, name);
    });
}

std::string DescribeUnusable(std::string_view kind, const char* name, const SharedObject& object)
{
    const std::string named = std::string(kind) + " " + name;
    if (object.outcome == SharedOutcome::OtherOwner) return named + " belongs to another owner";
    return named + " could not be made or opened (error " + std::to_string(object.error) + ")";
}

}  // namespace trail
