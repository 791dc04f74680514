#pragma once
// Path text rules for the destination folder. Pure string logic: the code
// page's lead-byte test is a parameter, so double-byte code pages can be
// exercised on any system, and nothing here calls the platform.
#include <string>
#include <string_view>

namespace scanner {

using LeadByteTest = bool (*)(unsigned char byte);

// Removes one trailing backslash. A backslash that is the trail byte of a
// double-byte character is part of that character and stays.
std::string_view WithoutTrailingBackslash(std::string_view path, LeadByteTest isLeadByte);

// The prefix up to and including the last backslash or colon, skipping trail
// bytes; empty when the path has neither.
std::string_view ParentPart(std::string_view path, LeadByteTest isLeadByte);

// Hosts quote paths that contain blanks, and a double quote can never be part
// of a Windows path. When the folder, ignoring trailing blanks and tabs,
// starts and ends with a double quote and is longer than one character, this
// is the text between the quotes; any other folder comes back unchanged.
std::string UsableDestination(std::string_view destinationFolder);

}  // namespace scanner
