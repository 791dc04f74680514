#include "scanner/StoredState.h"

#include "scanner/ControlData.h"
#include "trail/Policy.h"
#include "trail/Trail.h"

namespace scanner {

namespace {

std::string CountOfBytes(std::size_t count) { return std::to_string(count) + (count == 1 ? " byte" : " bytes"); }

// Why a policy value cannot be used; empty when it can.
std::string Unusable(const trail::PolicyValue& value)
{
    if (value.type != REG_BINARY) return "it is of type " + std::to_string(value.type) + ", not REG_BINARY";
    if (value.size == 0) return "it is empty";
    if (value.size > kControlDataPolicyMaxBytes)
        return "its " + CountOfBytes(value.size) + " are more than " + CountOfBytes(kControlDataPolicyMaxBytes);
    return {};
}

}  // namespace

StoredState::StoredState(std::span<const std::byte> bytes, Source source)
    : bytes_(bytes.begin(), bytes.end()), source_(source)
{
}

std::string StoredState::Description() const
{
    return (source_ == Source::BuiltIn ? std::string("built in, ")
                                       : std::string("from the policy value ") + kControlDataPolicyValue + ", ") +
           CountOfBytes(bytes_.size());
}

std::string StoredState::RefusalAdvice() const
{
    if (source_ == Source::Policy)
        return std::string("It was given the state of the policy value ") + kControlDataPolicyValue + " under " +
               trail::kPolicyKeyPath + " (" + CountOfBytes(bytes_.size()) + "): correct or remove that value.";
    return "It was given the state built into Denoptix (" + CountOfBytes(bytes_.size()) +
           "). A practice's IT can give it another one through the policy value " + kControlDataPolicyValue +
           ": see the integrator's guide, \"The control's stored state\".";
}

StoredState BuiltInState() { return StoredState(kControlData, StoredState::Source::BuiltIn); }

StateChoice ChooseStoredState()
{
    const auto value = trail::ReadPolicyValue(kControlDataPolicyValue, kControlDataPolicyMaxBytes);
    if (!value) return {BuiltInState(), {}};
    std::string unusable = Unusable(*value);
    if (!unusable.empty()) return {BuiltInState(), std::move(unusable)};
    const auto* data = reinterpret_cast<const std::byte*>(value->data.data());
    return {StoredState({data, value->data.size()}, StoredState::Source::Policy), {}};
}

StoredState StateToHandOver()
{
    StateChoice choice = ChooseStoredState();
    if (!choice.policyIgnored.empty())
        trail::Write(std::string("control state: policy value ") + kControlDataPolicyValue + " ignored, " +
                     choice.policyIgnored);
    return std::move(choice.state);
}

}  // namespace scanner
