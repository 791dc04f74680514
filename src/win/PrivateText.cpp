#include "win/PrivateText.h"

namespace win {

namespace {

void ReplaceAll(std::string& text, std::string_view what, std::string_view with)
{
    if (what.empty()) return;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
}

std::string_view Unquoted(std::string_view folder)
{
    while (!folder.empty() && folder.back() == ' ') folder.remove_suffix(1);
    if (folder.size() >= 2 && folder.front() == '"' && folder.back() == '"') folder = folder.substr(1, folder.size() - 2);
    return folder;
}

bool LooksLikePath(std::string_view quoted) { return quoted.find_first_of("\\/:") != std::string_view::npos; }

bool EndsInFileName(std::string_view path)
{
    const std::size_t name = path.find_last_of("\\/:");
    const std::size_t dot = path.rfind('.');
    return dot != std::string_view::npos && (name == std::string_view::npos || dot > name + 1) &&
           dot + 1 < path.size();
}

// A quote that is never closed runs to the end of the text.
void ReplaceQuotedPaths(std::string& text, char quote)
{
    for (std::size_t open = text.find(quote); open != std::string::npos; open = text.find(quote, open + 1)) {
        std::size_t close = text.find(quote, open + 1);
        if (close == std::string::npos) close = text.size();
        const std::string_view inside = std::string_view(text).substr(open + 1, close - open - 1);
        if (!LooksLikePath(inside)) {
            open = close;
            continue;
        }
        const char* placeholder = EndsInFileName(inside) ? "<file>" : "<folder>";
        text.replace(open + 1, close - open - 1, placeholder);
        open += std::string_view(placeholder).size() + 1;
        if (open >= text.size()) return;
    }
}

}  // namespace

std::string WithoutPrivateNames(std::string_view text, std::string_view folder)
{
    std::string result(text);
    ReplaceAll(result, folder, "<folder>");
    ReplaceAll(result, Unquoted(folder), "<folder>");
    ReplaceQuotedPaths(result, '\'');
    ReplaceQuotedPaths(result, '"');
    return result;
}

}  // namespace win
