#include "win/ApplicationTitle.h"

#include <windows.h>

namespace win {

const std::string& ApplicationTitle()
{
    static const std::string title = [] {
        char path[MAX_PATH * 4] = {};
        const DWORD length = GetModuleFileNameA(nullptr, path, static_cast<DWORD>(sizeof path));
        return TitleFromModulePath(std::string_view(path, length));
    }();
    return title;
}

}  // namespace win
