#pragma once
// Message boxes go to the support trail too, but folder and file names name
// patients: this takes them out of a box's text first.
#include <string>
#include <string_view>

namespace win {

// `text` with every occurrence of `folder` (as given, and without its quotes
// and trailing blanks) replaced by "<folder>", and every remaining quoted
// path ('...' or "..." holding a \, / or :, or such a quote never closed)
// by '<file>' when it ends in a file name with an extension, else by
// '<folder>'.
std::string WithoutPrivateNames(std::string_view text, std::string_view folder);

}  // namespace win
