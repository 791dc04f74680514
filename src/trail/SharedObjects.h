#pragma once
// The named objects that the bridges of one Windows session share: the
// trail's turn and the record of the running bridge. Each is made with a
// security descriptor of its own instead of the creator's default, which
// differs between a bridge run as administrator (Administrators and SYSTEM
// only, a High label) and one that is not, so the plain bridge started after
// an elevated one could open neither. The one written here gives the
// signed-in user and SYSTEM full access and carries a Medium label that
// refuses reads and writes from below, so a low-integrity process of the
// same user can neither read a patient's folder there nor squat the name.
// This is the lowest layer, so it owns nothing: the caller closes the handle.
#include <windows.h>

#include <string>
#include <string_view>

namespace trail {

// "O:<user>G:<user>D:P(A;;GA;;;<user>)(A;;GA;;;SY)S:(ML;;NWNR;;;ME)".
std::string SharedObjectSddl(std::string_view userSid);

// The signed-in user's SID as text, empty when the token cannot be read.
std::string CurrentUserSid();

enum class SharedOutcome {
    Created,     // made by this process
    Opened,      // made earlier by a bridge of this user
    OtherOwner,  // the name is held by an object somebody else owns
    Refused,     // the system would not make or open it (see error)
};

struct SharedObject {
    HANDLE handle = nullptr;  // the caller's to close; null unless Created or Opened
    SharedOutcome outcome = SharedOutcome::Refused;
    DWORD error = ERROR_SUCCESS;
};

SharedObject CreateSharedMutex(const char* name) noexcept;
SharedObject CreateSharedMapping(const char* name, DWORD bytes) noexcept;

// For the trail, in words: "the mutex Local\DenoptixTrail belongs to another
// owner", "... could not be opened (error 5: Access is denied)".
std::string DescribeUnusable(std::string_view kind, const char* name, const SharedObject& object);

}  // namespace trail
