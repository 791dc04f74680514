#pragma once
// The state the control is handed when it is created: the bytes built into
// the bridge, or those a practice's IT gave it through the machine policy
// value "ControlData" (REG_BINARY, at most 4 KiB), for a version of the
// control that stores more than the one the bridge was made for.
#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace scanner {

inline constexpr char kControlDataPolicyValue[] = "ControlData";
inline constexpr std::size_t kControlDataPolicyMaxBytes = 4096;

class StoredState {
public:
    enum class Source { BuiltIn, Policy };

    StoredState(std::span<const std::byte> bytes, Source source);

    std::span<const std::byte> Bytes() const noexcept { return bytes_; }
    // "built in, 17 bytes" or "from the policy value ControlData, 20 bytes".
    std::string Description() const;
    // What the report of a refusal adds: which state it was, and what to do.
    std::string RefusalAdvice() const;

private:
    std::vector<std::byte> bytes_;
    Source source_;
};

// The bytes built into the bridge.
StoredState BuiltInState();

// The policy's bytes when IT set a usable value, else the built-in ones; a
// value of another type, empty or too large is ignored, and why is said.
struct StateChoice {
    StoredState state;
    std::string policyIgnored;  // "it is empty", ...; empty when not ignored
};
StateChoice ChooseStoredState();

// The same, with a line in the trail for an ignored policy value; the
// control's host writes which state it handed over.
StoredState StateToHandOver();

}  // namespace scanner
