#pragma once
// A parameterised test's name made from a file name: every character that GoogleTest does
// not take in a name becomes '_'.
#include <cctype>
#include <string>

namespace fakes {

inline std::string TestNameOf(std::string name)
{
    for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch)))
            ch = '_';
    return name;
}

} // namespace fakes
