#pragma once
#include <string>

#include "win/TitleRule.h"

namespace win {

// The title of this process, from its own module file name.
const std::string& ApplicationTitle();

}  // namespace win
