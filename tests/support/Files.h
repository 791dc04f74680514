#pragma once
// Temporary folders and the files the bridge, the stand-ins and the tools
// write into them.
#include <string>
#include <vector>

namespace testing_support {

// A fresh folder under %TEMP%, deleted with its content afterwards.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& Path() const { return path_; }
    std::string Path(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

std::string ReadFileBytes(const std::string& path);
// The file's lines without their line ends (LF or CR LF).
std::vector<std::string> ReadLines(const std::string& path);
// Those lines that start with prefix, in order.
std::vector<std::string> LinesStartingWith(const std::string& path, const std::string& prefix);
bool FolderExistsOnDisk(const std::string& path);
// Waits (handling this thread's messages) until the file has a line equal to line.
bool WaitForLine(const std::string& path, const std::string& line);

// The bridge's support trail in this user's profile, and the events one
// process wrote to it (each line without its time and process id).
std::string SupportTrailPath();
std::vector<std::string> TrailEventsOf(unsigned long processId);

}  // namespace testing_support
