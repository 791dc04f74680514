#pragma once
// The title rule alone, free of the platform, so it also builds natively.
#include <string>
#include <string_view>

namespace win {

// The title every message box carries: the executable's file name without
// its folder, cut before its first dot, the first character as it is and
// the rest in lower case. "C:\Bin\DENOPTIX.EXE" gives "Denoptix".
std::string TitleFromModulePath(std::string_view modulePath);

}  // namespace win
