#include "Files.h"

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "Waiting.h"

namespace testing_support {

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

std::vector<std::string> LinesStartingWith(const std::string& path, const std::string& prefix)
{
    std::vector<std::string> lines;
    for (auto& line : ReadLines(path))
        if (line.rfind(prefix, 0) == 0) lines.push_back(std::move(line));
    return lines;
}

bool FolderExistsOnDisk(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool WaitForLine(const std::string& path, const std::string& line)
{
    return WaitUntil([&] {
        const auto lines = ReadLines(path);
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }, 15s);
}

}  // namespace testing_support

namespace testing_support {

std::string SupportTrailPath()
{
    char base[MAX_PATH] = {};
    GetEnvironmentVariableA("LOCALAPPDATA", base, MAX_PATH);
    return std::string(base) + "\\Velt\\Denoptix\\Denoptix.log";
}

std::vector<std::string> TrailEventsOf(unsigned long processId)
{
    const std::string marker = " " + std::to_string(processId) + " ";
    std::vector<std::string> events;
    for (const auto& line : ReadLines(SupportTrailPath())) {
        const std::size_t at = line.find(marker);
        if (at != std::string::npos && line.find(' ') == at) events.push_back(line.substr(at + marker.size()));
    }
    return events;
}

}  // namespace testing_support
