#pragma once
// Which Windows this is, as support needs it.
#include <string>

namespace win {

// "10.0.19045": what the system is, whatever the program's manifest promises.
std::string WindowsVersion();

// True on 64-bit Windows, whatever this program's own bitness.
bool IsWindows64Bit();

}  // namespace win
