// Helpers shared by the unit tests.
#pragma once

#include <string>
#include <string_view>

// Readable form of a document for failure traces (NULs and other bytes escaped).
inline std::string printable(std::string_view s) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : s) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}
