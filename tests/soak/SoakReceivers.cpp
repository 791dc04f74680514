#include "SoakReceivers.h"

#include <stdexcept>

#include "TestSupport.h"
#include "receivers/ByteEscape.h"

namespace soak {

using namespace testing_support;

namespace {

// A hung receiver sleeps far longer than its segment lasts; a slow one long
// enough to be waited for on every set, short enough to keep the run brief.
constexpr int kHungMs = 120000;
constexpr int kSlowMs = 30;

const char* WindowClassOf(const std::string& windows)
{
    return windows == "host" ? "TTesmiraWnd" : "VELT_FOTO_SERVER";
}

std::string HangOption(const std::string& windows, Behaviour behaviour)
{
    if (behaviour == Behaviour::Hung) return " --hang " + windows + "=" + std::to_string(kHungMs);
    if (behaviour == Behaviour::Slow) return " --hang " + windows + "=" + std::to_string(kSlowMs);
    return {};
}

// The clipboard field of each "WM_ACQ_DENOPTIX" line, unescaped.
std::vector<std::string> ClipboardsLogged(const std::string& log)
{
    std::vector<std::string> clipboards;
    for (const std::string& line : ReadLines(log)) {
        if (line.find("\tWM_ACQ_DENOPTIX\t") == std::string::npos) continue;
        const std::size_t field = line.find("\tclipboard=");
        clipboards.push_back(field == std::string::npos ? "<missing>" : receivers::UnescapeBytes(line.substr(field + 11)));
    }
    return clipboards;
}

}  // namespace

struct SoakReceivers::Instance {
    std::string windows;
    Behaviour behaviour;
    std::string log;
    std::unique_ptr<ChildProcess> process;  // ended by reset, hung or not
    std::vector<int> sets;
};

SoakReceivers::SoakReceivers(std::string folder) : folder_(std::move(folder))
{
    host_ = Start("host", Behaviour::Healthy);
    photo_ = Start("photo", Behaviour::Healthy);
}

SoakReceivers::~SoakReceivers() = default;

std::unique_ptr<SoakReceivers::Instance> SoakReceivers::Start(const char* windows, Behaviour behaviour)
{
    if (behaviour == Behaviour::Absent) return nullptr;
    auto instance = std::make_unique<Instance>();
    instance->windows = windows;
    instance->behaviour = behaviour;
    instance->log = folder_ + "\\" + windows + "-" + std::to_string(++started_) + ".log";
    // Their console output is thrown away: they print every line they log.
    instance->process = std::make_unique<ChildProcess>("\"" + BinPath("DenoptixReceivers.exe") + "\" --windows " +
                                                           windows + " --log \"" + instance->log + "\"" +
                                                           HangOption(windows, behaviour),
                                                       testing_support::ChildOptions::Quiet());
    const std::string log = instance->log;
    if (!WaitUntil([&] { return !ReadLines(log).empty() && ReadLines(log)[0] == "ready"; }, 30s))
        throw std::runtime_error(std::string("the stand-in receiver did not start: ") + windows);
    return instance;
}

void SoakReceivers::Replace(std::unique_ptr<Instance>& current, const char* windows, Behaviour wanted)
{
    const bool healthy = current != nullptr && current->behaviour == Behaviour::Healthy;
    if (healthy && wanted == Behaviour::Healthy) return;
    if (current == nullptr && wanted == Behaviour::Absent) return;
    if (current != nullptr) {
        current->process.reset();  // hung or not
        ended_.push_back(std::move(current));
        // The bridge looks the window up by class: the old one must be gone.
        if (!WaitUntil([&] { return FindWindowA(WindowClassOf(windows), nullptr) == nullptr; }, 15s))
            throw std::runtime_error(std::string("an ended receiver's window stayed: ") + windows);
    }
    current = Start(windows, wanted);
}

void SoakReceivers::Arrange(Behaviour host, Behaviour photo)
{
    Replace(host_, "host", host);
    Replace(photo_, "photo", photo);
}

void SoakReceivers::Sent(int set)
{
    for (auto* instance : {host_.get(), photo_.get()})
        if (instance != nullptr) instance->sets.push_back(set);
}

std::vector<std::string> SoakReceivers::StopAndVerify(const std::function<std::string(int)>& namesOfSet)
{
    for (auto* current : {&host_, &photo_}) {
        if (*current == nullptr) continue;
        (*current)->process.reset();
        ended_.push_back(std::move(*current));
    }
    std::vector<std::string> faults;
    for (const auto& instance : ended_) {
        const std::vector<std::string> logged = ClipboardsLogged(instance->log);
        const std::string who = instance->log + ": ";
        // A hung receiver logs what reached it before it stopped answering;
        // each of those must still be one whole set, in order.
        const bool hung = instance->behaviour == Behaviour::Hung;
        if (hung ? logged.empty() || logged.size() > instance->sets.size() : logged.size() != instance->sets.size())
            faults.push_back(who + std::to_string(logged.size()) + " sets logged, " +
                             std::to_string(instance->sets.size()) + " sent");
        for (std::size_t i = 0; i < logged.size() && i < instance->sets.size(); ++i) {
            if (logged[i] == namesOfSet(instance->sets[i])) continue;
            faults.push_back(who + "set " + std::to_string(instance->sets[i]) + " arrived with other names");
            break;
        }
    }
    return faults;
}

}  // namespace soak
