#pragma once
// The program keeps text in the ANSI code page; the scanner control speaks
// UTF-16. These convert at that boundary with CP_ACP and no flags, so a
// character the code page cannot hold becomes its default character.
#include <string>
#include <string_view>

namespace win {

std::wstring ToWide(std::string_view narrow);
std::string ToNarrow(std::wstring_view wide);

}  // namespace win
