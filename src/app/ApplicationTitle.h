#pragma once
#include <string>

#include "app/TitleRule.h"

namespace app {

// The title of this process, from its own module file name.
const std::string& ApplicationTitle();

}  // namespace app
