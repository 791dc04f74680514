#include "TestSupport.h"

#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

namespace testing_support {

std::string BinDir()
{
    char path[MAX_PATH * 4] = {};
    GetModuleFileNameA(nullptr, path, static_cast<DWORD>(sizeof path));
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\'));
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

ChildProcess::ChildProcess(const std::string& commandLine, const std::string& workingFolder)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::string line = commandLine;  // CreateProcessA may write into it
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &info)) {
        throw std::runtime_error("CreateProcess failed for: " + commandLine);
    }
    CloseHandle(info.hThread);
    process_.reset(info.hProcess);
    id_ = info.dwProcessId;
}

ChildProcess::~ChildProcess()
{
    if (Running()) {
        TerminateProcess(process_.get(), 99);
        WaitForSingleObject(process_.get(), 5000);
    }
}

bool ChildProcess::Running() const { return WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

bool ChildProcess::WaitForExit(std::chrono::milliseconds timeout, DWORD& exitCode)
{
    if (!WaitUntil([this] { return !Running(); }, timeout)) return false;
    return GetExitCodeProcess(process_.get(), &exitCode) != FALSE;
}

std::vector<HWND> WindowsOfProcess(DWORD processId, const char* className)
{
    struct Search {
        DWORD processId;
        const char* className;
        std::vector<HWND> found;
    } search{processId, className, {}};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(context);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            char name[256] = {};
            GetClassNameA(window, name, sizeof name);
            if (owner == s.processId && (s.className == nullptr || lstrcmpA(name, s.className) == 0))
                s.found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string WindowText(HWND window)
{
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

TempFolder::TempFolder()
{
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    static int counter = 0;
    for (;;) {
        path_ = std::string(temp) + "denoptix-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++counter);
        if (CreateDirectoryA(path_.c_str(), nullptr)) break;
        if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("cannot create " + path_);
    }
}

namespace {
void DeleteTree(const std::string& folder)
{
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = folder + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) DeleteTree(path);
            else DeleteFileA(path.c_str());
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(folder.c_str());
}
}  // namespace

TempFolder::~TempFolder() { DeleteTree(path_); }

std::string ReadFileBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

std::vector<std::string> ReadLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::istringstream text(ReadFileBytes(path));
    for (std::string line; std::getline(text, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool FolderExistsOnDisk(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void DeleteBridgeSettings() { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Velt\\Denoptix"); }

bool SendSimulatorCommand(HWND controlWindow, const std::string& command)
{
    COPYDATASTRUCT data{};
    data.dwData = 0x53584E44;
    data.cbData = static_cast<DWORD>(command.size());
    data.lpData = const_cast<char*>(command.data());
    return SendMessageA(controlWindow, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)) != 0;
}

namespace {
// Wine looks up classes only in the machine-wide registration, so the
// stand-in is unregistered for the test and registered again afterwards.
void CallRegistrationEntry(const char* entry)
{
    const std::string dll = BinDir() + "\\DenoptixScanSim.dll";
    HMODULE module = LoadLibraryA(dll.c_str());
    if (module == nullptr) throw std::runtime_error("cannot load " + dll);
    using Entry = HRESULT(STDAPICALLTYPE*)();
    const auto call = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, entry)));
    const HRESULT hr = call != nullptr ? call() : E_NOTIMPL;
    FreeLibrary(module);
    if (FAILED(hr)) throw std::runtime_error(std::string(entry) + " failed");
}
}  // namespace

MissingControlRegistration::MissingControlRegistration() { CallRegistrationEntry("DllUnregisterServer"); }

MissingControlRegistration::~MissingControlRegistration()
{
    try {
        CallRegistrationEntry("DllRegisterServer");
    } catch (const std::exception& error) {
        ADD_FAILURE() << error.what();
    }
}

}  // namespace testing_support

#include "host/Messages.h"

namespace testing_support {

ReceiverWindowThread::ReceiverWindowThread(std::string className, Handler onMessage)
    : className_(std::move(className)), onMessage_(std::move(onMessage)), ready_(CreateEventA(nullptr, TRUE, FALSE, nullptr))
{
    thread_.reset(CreateThread(
        nullptr, 0, [](void* self) -> DWORD { static_cast<ReceiverWindowThread*>(self)->Run(); return 0; }, this, 0,
        &threadId_));
    WaitForSingleObject(ready_.get(), 10000);
    if (window_ == nullptr) throw std::runtime_error("receiver window not created: " + className_);
}

ReceiverWindowThread::~ReceiverWindowThread()
{
    PostMessageA(window_, WM_CLOSE, 0, 0);
    WaitForSingleObject(thread_.get(), 10000);
}

void ReceiverWindowThread::Run()
{
    WNDCLASSEXA type{};
    type.cbSize = sizeof type;
    type.lpfnWndProc = Proc;
    type.hInstance = GetModuleHandleA(nullptr);
    type.lpszClassName = className_.c_str();
    RegisterClassExA(&type);
    window_ = CreateWindowExA(0, className_.c_str(), "test receiver", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              GetModuleHandleA(nullptr), this);
    SetEvent(ready_.get());
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    UnregisterClassA(className_.c_str(), GetModuleHandleA(nullptr));
}

LRESULT CALLBACK ReceiverWindowThread::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<ReceiverWindowThread*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self != nullptr && (message == host::WmAcqDenoptix() || message == host::WmDeleteResource())) {
        self->onMessage_(message, wParam, lParam);
        return 0;
    }
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace testing_support
