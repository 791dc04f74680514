#include "BridgeHarness.h"

#include <stdexcept>

namespace testing_support {

namespace {

constexpr char kSettingsKey[] = "Software\\Velt\\Denoptix";
constexpr ULONG_PTR kSimulatorChannel = 0x53584E44;
constexpr UINT kCommandTimeoutMs = 60000;

// Variables set for one child's start and put back as they were.
class ScopedEnvironment {
public:
    explicit ScopedEnvironment(const EnvironmentList& variables)
    {
        for (const auto& [name, value] : variables) {
            char old[32768];
            const DWORD length = GetEnvironmentVariableA(name.c_str(), old, sizeof old);
            saved_.emplace_back(name, length > 0 && length < sizeof old ? std::optional<std::string>(old)
                                                                         : std::nullopt);
            SetEnvironmentVariableA(name.c_str(), value.c_str());
        }
    }
    ~ScopedEnvironment()
    {
        for (const auto& [name, value] : saved_)
            SetEnvironmentVariableA(name.c_str(), value ? value->c_str() : nullptr);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

HWND FindDescendant(HWND parent, int id)
{
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    EnumChildWindows(
        parent,
        [](HWND window, LPARAM context) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(context);
            if (GetDlgCtrlID(window) != s.id) return TRUE;
            s.found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool SendCommand(HWND controlWindow, const std::string& command)
{
    COPYDATASTRUCT data{};
    data.dwData = kSimulatorChannel;
    data.cbData = static_cast<DWORD>(command.size());
    data.lpData = const_cast<char*>(command.data());
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(controlWindow, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_NORMAL,
                               kCommandTimeoutMs, &result) != 0 &&
           result != 0;
}

}  // namespace

std::string BridgeCommandLine(const std::string& tail) { return "\"" + BinDir() + "\\Denoptix.exe\" " + tail; }

BridgeRun::BridgeRun(const std::string& commandLine, const EnvironmentList& environment,
                     const std::string& workingFolder)
{
    const ScopedEnvironment scoped(environment);
    process_ = std::make_unique<ChildProcess>(commandLine, workingFolder);
}

HWND BridgeRun::WaitForForm(std::chrono::milliseconds timeout)
{
    WaitUntil([&] {
        for (HWND window : WindowsOfProcess(Id(), "TForm1"))
            if (IsWindowVisible(window)) form_ = window;
        return form_ != nullptr;
    }, timeout);
    return form_;
}

HWND BridgeRun::Control(int id) const { return form_ != nullptr ? FindDescendant(form_, id) : nullptr; }

HWND BridgeRun::ScannerWindow() const
{
    return form_ != nullptr ? FindWindowExA(form_, nullptr, "DenoptixScanSimWindow", nullptr) : nullptr;
}

void BridgeRun::Click(int id) const { PostMessageA(Control(id), BM_CLICK, 0, 0); }

void BridgeRun::Pick(int listId, int index) const
{
    HWND list = Control(listId);
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(listId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

int BridgeRun::Selection(int listId) const
{
    return static_cast<int>(SendMessageA(Control(listId), CB_GETCURSEL, 0, 0));
}

bool BridgeRun::Checked(int id) const { return SendMessageA(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

bool BridgeRun::Command(const std::string& command) const { return SendCommand(ScannerWindow(), command); }

std::future<bool> BridgeRun::CommandInBackground(const std::string& command) const
{
    HWND target = ScannerWindow();
    return std::async(std::launch::async, [target, command] { return SendCommand(target, command); });
}

std::vector<HWND> BridgeRun::VisibleBoxes() const
{
    std::vector<HWND> boxes;
    for (HWND box : WindowsOfProcess(Id(), "#32770"))
        if (IsWindowVisible(box)) boxes.push_back(box);
    return boxes;
}

HWND BridgeRun::WaitForBox(std::chrono::milliseconds timeout) const
{
    HWND box = nullptr;
    WaitUntil([&] {
        const auto boxes = VisibleBoxes();
        box = boxes.empty() ? nullptr : boxes.front();
        return box != nullptr;
    }, timeout);
    return box;
}

std::string BridgeRun::BoxText(HWND box)
{
    std::string text(70000, '\0');
    text.resize(static_cast<size_t>(GetDlgItemTextA(box, 0xFFFF, text.data(), static_cast<int>(text.size()))));
    return text;
}

void BridgeRun::Dismiss(HWND box) { PostMessageA(box, WM_COMMAND, IDOK, 0); }

std::optional<DWORD> BridgeRun::CloseAndWait(std::chrono::milliseconds timeout)
{
    PostMessageA(form_, WM_CLOSE, 0, 0);
    return WaitForExit(timeout);
}

std::optional<DWORD> BridgeRun::WaitForExit(std::chrono::milliseconds timeout)
{
    DWORD code = 0;
    if (!process_->WaitForExit(timeout, code)) return std::nullopt;
    return code;
}

std::vector<std::string> SimLogLines(const std::string& path, const std::string& prefix)
{
    std::vector<std::string> lines;
    for (const auto& line : ReadLines(path))
        if (line.rfind(prefix, 0) == 0) lines.push_back(line);
    return lines;
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

void StoreBridgeValue(const char* name, DWORD type, const void* data, DWORD size)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        throw std::runtime_error("cannot create the settings key");
    const win::UniqueHkey owner(key);
    if (RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size) != ERROR_SUCCESS)
        throw std::runtime_error(std::string("cannot store ") + name);
}

std::optional<DWORD> BridgeDword(const char* name)
{
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_ANY, &type, &value, &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value)
        return std::nullopt;
    return value;
}

ClipboardHold::ClipboardHold()
    : window_(CreateWindowExA(0, "STATIC", "clipboard holder", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr))
{
    holding_ = window_ && OpenClipboard(window_.get());
}

ClipboardHold::~ClipboardHold()
{
    if (holding_) CloseClipboard();
}

std::optional<std::string> ClipboardText()
{
    std::optional<std::string> text;
    if (!WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, 5s)) return text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const auto* bytes = static_cast<const char*>(GlobalLock(data))) {
            text = std::string(bytes);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

}  // namespace testing_support
