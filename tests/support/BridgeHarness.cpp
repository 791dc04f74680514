#include "BridgeHarness.h"

#include <stdexcept>

namespace testing_support {

std::string BridgeCommandLine(const std::string& tail) { return "\"" + BinDir() + "\\Denoptix.exe\" " + tail; }

BridgeRun::BridgeRun(const std::string& commandLine, const EnvironmentList& environment,
                     const std::string& workingFolder)
{
    const ScopedEnvironment scoped(environment);
    process_ = std::make_unique<ChildProcess>(commandLine, ChildOptions::InFolder(workingFolder));
}

HWND BridgeRun::WaitForForm(std::chrono::milliseconds timeout)
{
    WaitUntil([&] {
        for (HWND window : WindowsOfProcess(Id(), "TForm1", true)) form_ = window;
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

bool BridgeRun::Command(const std::string& command) const { return SendSimulatorCommand(ScannerWindow(), command); }

std::future<bool> BridgeRun::CommandInBackground(const std::string& command) const
{
    HWND target = ScannerWindow();
    return std::async(std::launch::async, [target, command] { return SendSimulatorCommand(target, command); });
}

std::vector<HWND> BridgeRun::VisibleBoxes() const
{
    return WindowsOfProcess(Id(), "#32770", true);
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

void BridgeRun::Dismiss(HWND box) { Press(box, IDOK); }

void BridgeRun::Press(HWND box, int button) { PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(button), 0); }

std::optional<DWORD> BridgeRun::WaitForExitNoting(bool& boxShown, std::chrono::milliseconds timeout) const
{
    WaitUntil([&] {
        boxShown = boxShown || !VisibleBoxes().empty();
        return !process_->Running();
    }, timeout);
    return process_->WaitForExit(0ms);
}

std::optional<DWORD> BridgeRun::CloseAndWait(std::chrono::milliseconds timeout)
{
    PostMessageA(form_, WM_CLOSE, 0, 0);
    return WaitForExit(timeout);
}

std::optional<DWORD> BridgeRun::WaitForExit(std::chrono::milliseconds timeout)
{
    return process_->WaitForExit(timeout);
}

}  // namespace testing_support
