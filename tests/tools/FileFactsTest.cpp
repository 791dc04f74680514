// The workstation check's PE reader on what a disk may hold: a whole
// program, and the same cut short or damaged where a header is read. Only a
// header read whole may name a machine; anything less must never be taken
// for one, or the check would report a bitness mismatch that is not there.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <fstream>

#include "ChildProcess.h"
#include "Files.h"
#include "check/FileFacts.h"

namespace {

using check::Machine;

std::string WithHeaderAt(std::string bytes, LONG offset)
{
    std::memcpy(bytes.data() + offsetof(IMAGE_DOS_HEADER, e_lfanew), &offset, sizeof offset);
    return bytes;
}

TEST(FileFacts, OnlyAWholeHeaderNamesAMachine)
{
    const std::string program = testing_support::ReadFileBytes(testing_support::BinPath("tools_tests.exe"));
    ASSERT_GT(program.size(), sizeof(IMAGE_DOS_HEADER));
    LONG header = 0;
    std::memcpy(&header, program.data() + offsetof(IMAGE_DOS_HEADER, e_lfanew), sizeof header);
    const std::size_t machineField = static_cast<std::size_t>(header) + sizeof(DWORD);
    const Machine thisBuild = sizeof(void*) == 8 ? Machine::X64 : Machine::X86;
    struct Case {
        const char* name;
        std::string bytes;
        Machine machine;
    };
    const Case cases[] = {
        {"the whole program", program, thisBuild},
        {"cut after its file header", program.substr(0, machineField + sizeof(IMAGE_FILE_HEADER)), thisBuild},
        {"cut inside its file header, the machine still there", program.substr(0, machineField + 2), Machine::Unknown},
        {"cut inside the PE signature", program.substr(0, machineField - 2), Machine::Unknown},
        {"cut inside the DOS header", program.substr(0, 32), Machine::Unknown},
        {"a header placed past the end", WithHeaderAt(program.substr(0, 4096), 0x7FFFFFF0), Machine::Unknown},
        {"a header placed before the start", WithHeaderAt(program.substr(0, 4096), -8), Machine::Unknown},
        {"an empty file", "", Machine::Unknown},
        {"text", "MZ is how it starts, and that is all", Machine::Unknown},
    };
    const testing_support::TempFolder temp;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = temp.Path("file.dll");
        std::ofstream(path, std::ios::binary | std::ios::trunc) << c.bytes;
        EXPECT_EQ(check::MachineOf(path), c.machine);
    }
    EXPECT_EQ(check::MachineOf(temp.Path("missing.dll")), Machine::Unknown);
}

}  // namespace
