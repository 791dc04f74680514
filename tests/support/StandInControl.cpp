#include "StandInControl.h"

namespace testing_support {

bool SendCopyData(HWND target, ULONG_PTR code, std::string_view bytes, std::chrono::milliseconds timeout)
{
    COPYDATASTRUCT data{code, static_cast<DWORD>(bytes.size()), const_cast<char*>(bytes.data())};
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(target, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_NORMAL,
                               static_cast<UINT>(timeout.count()), &result) != 0 &&
           result != 0;
}

bool SendSimulatorCommand(HWND controlWindow, std::string_view command)
{
    return SendCopyData(controlWindow, kSimulatorChannel, command);
}

HRESULT StandInCanUnloadNow()
{
    const HMODULE module = GetModuleHandleA("DenoptixScanSim.dll");
    using CanUnload = HRESULT(STDAPICALLTYPE*)();
    const auto canUnload = module ? reinterpret_cast<CanUnload>(
                                        reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")))
                                  : nullptr;
    return canUnload ? canUnload() : E_UNEXPECTED;
}

ScopedEnvironment::ScopedEnvironment(const EnvironmentList& variables)
{
    for (const auto& [name, value] : variables) {
        char old[32768];
        const DWORD length = GetEnvironmentVariableA(name.c_str(), old, sizeof old);
        saved_.emplace_back(name, length > 0 && length < sizeof old ? std::optional<std::string>(old) : std::nullopt);
        SetEnvironmentVariableA(name.c_str(), value.c_str());
    }
}

ScopedEnvironment::~ScopedEnvironment()
{
    for (const auto& [name, value] : saved_) SetEnvironmentVariableA(name.c_str(), value ? value->c_str() : nullptr);
}

std::string SimLogString(const std::string& quoted)
{
    if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"') return quoted;
    std::string text;
    for (size_t i = 1; i + 1 < quoted.size(); ++i) {
        char c = quoted[i];
        if (c == '\\' && i + 2 < quoted.size()) {
            c = quoted[++i];
            if (c == 'r') c = '\r';
            if (c == 'n') c = '\n';
            if (c == '0') c = '\0';
        }
        text += c;
    }
    return text;
}

}  // namespace testing_support
