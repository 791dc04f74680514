#include "receivers/ByteEscape.h"

namespace receivers {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

std::string EscapeBytes(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        switch (byte) {
        case '\\': out += "\\\\"; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        default:
            if (byte >= 0x20 && byte <= 0x7E) {
                out += c;
            } else {
                out += "\\x";
                out += kHexDigits[byte >> 4];
                out += kHexDigits[byte & 0x0F];
            }
        }
    }
    return out;
}

std::string UnescapeBytes(std::string_view escaped)
{
    std::string out;
    for (size_t i = 0; i < escaped.size(); ++i) {
        if (escaped[i] != '\\') {
            out += escaped[i];
            continue;
        }
        if (++i == escaped.size()) throw EscapeError("Backslash at the end of the text");
        switch (escaped[i]) {
        case '\\': out += '\\'; break;
        case 'r': out += '\r'; break;
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'x': {
            const int high = i + 1 < escaped.size() ? HexValue(escaped[i + 1]) : -1;
            const int low = i + 2 < escaped.size() ? HexValue(escaped[i + 2]) : -1;
            if (high < 0 || low < 0) throw EscapeError("\\x needs two hex digits");
            out += static_cast<char>(high * 16 + low);
            i += 2;
            break;
        }
        default:
            throw EscapeError(std::string("Unknown escape \\") + escaped[i]);
        }
    }
    return out;
}

}  // namespace receivers
