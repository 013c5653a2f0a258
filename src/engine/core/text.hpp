// Small text helpers shared by the rooms.
#pragma once

#include <string>

namespace korvan {

// ASCII upper case of every byte: name searches and keys compare through it.
inline std::string upper(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return s;
}

} // namespace korvan
