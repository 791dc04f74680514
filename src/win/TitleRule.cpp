#include "win/TitleRule.h"

namespace win {

std::string TitleFromModulePath(std::string_view modulePath)
{
    const size_t folderEnd = modulePath.find_last_of("\\/:");
    std::string_view name = folderEnd == std::string_view::npos ? modulePath : modulePath.substr(folderEnd + 1);
    name = name.substr(0, name.find('.'));
    std::string title(name);
    for (size_t i = 1; i < title.size(); ++i) {
        if (title[i] >= 'A' && title[i] <= 'Z') title[i] = static_cast<char>(title[i] - 'A' + 'a');
    }
    return title;
}

}  // namespace win
