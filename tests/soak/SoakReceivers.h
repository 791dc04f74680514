#pragma once
// The stand-in host and photo server over a long run: each window class in
// a receiver process of its own, replaced when the run wants it healthy,
// slow, hung or absent, and every process's log checked against the sets
// sent while it lived.
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace soak {

enum class Behaviour {
    Healthy,
    Slow,    // answers each message after a short pause: the bridge waits for it
    Hung,    // stops answering after its first message: the bridge gives up on it
    Absent,  // no window at all
};

class SoakReceivers {
public:
    // Logs go into folder; both receivers start healthy.
    explicit SoakReceivers(std::string folder);
    ~SoakReceivers();
    SoakReceivers(const SoakReceivers&) = delete;
    SoakReceivers& operator=(const SoakReceivers&) = delete;

    // Between sets only. A receiver that is not healthy is always replaced.
    void Arrange(Behaviour host, Behaviour photo);
    // Notes that set number `set` was handed over to whoever is running.
    void Sent(int set);
    // Ends every receiver, then checks each log against the sets it was
    // sent: all of them exactly and in order, or for a hung one, its first
    // ones only. Returns one line per fault (empty when all is well).
    std::vector<std::string> StopAndVerify(const std::function<std::string(int)>& namesOfSet);

private:
    struct Instance;
    std::unique_ptr<Instance> Start(const char* windows, Behaviour behaviour);
    void Replace(std::unique_ptr<Instance>& current, const char* windows, Behaviour wanted);

    std::string folder_;
    int started_ = 0;
    std::unique_ptr<Instance> host_, photo_;
    std::vector<std::unique_ptr<Instance>> ended_;
};

}  // namespace soak
