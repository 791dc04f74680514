#include "win/FullStop.h"

namespace win {

std::string WithFullStop(std::string_view message)
{
    std::string text(message);
    if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.'))
        text += '.';
    return text;
}

}  // namespace win
