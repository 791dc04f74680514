#pragma once
#include <string_view>

namespace app {

// The command-line tail: what follows the program name, exactly as typed.
// Blanks and tabs before the program name and after it are skipped; a
// quoted program name ends at the closing quote or a tab (a tab ends it even
// inside the quotes), an unquoted one at a blank or a tab. Nothing in the
// tail is unquoted, split or trimmed: the whole of it is the destination.
std::string_view CommandLineTail(std::string_view commandLine);

}  // namespace app
