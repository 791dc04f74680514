#pragma once
// The stand-in receivers as the tests see them: separate processes that
// append one line per registered message to a shared log.
#include <memory>
#include <string>
#include <vector>

#include "ChildProcess.h"

namespace testing_support {

struct Received {
    std::string windowClass;
    std::string message;
    long long wParam = 0;
    long long lParam = 0;
    std::string clipboard;  // the raw bytes the receiver found, or "<none>"
};

class ReceiverLog {
public:
    explicit ReceiverLog(std::string path);
    ~ReceiverLog();
    ReceiverLog(const ReceiverLog&) = delete;
    ReceiverLog& operator=(const ReceiverLog&) = delete;

    // Starts DenoptixReceivers with "--windows <windows>" and extraArguments,
    // logging here, and waits for its "ready". The process ends with the log.
    void Start(const std::string& windows, const std::string& extraArguments = {});

    // The messages logged so far, in order; "ready" lines left out.
    std::vector<Received> Messages() const;

private:
    size_t ReadyCount() const;

    std::string path_;
    std::vector<std::unique_ptr<testing_support::ChildProcess>> processes_;
};

}  // namespace testing_support
