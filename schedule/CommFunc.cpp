#include "CommFunc.h"

std::string PadTwoDigits(int64_t value)
{
    std::string text = std::to_string(value);
    return text.size() == 1 ? "0" + text : text;
}
