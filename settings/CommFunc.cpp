#include "CommFunc.h"

#include "platform/PlatformError.h"

#include <charconv>

namespace {

// Strict: the whole text is an optional sign and decimal digits within 32 bits.
int32_t StrToInt(const std::string& text)
{
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (first != last && *first == '+' && last - first > 1 && first[1] != '-')
        ++first;
    int32_t value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (first == last || error != std::errc() || end != last)
        throw platform::PlatformError("'" + text + "' is not a valid integer value");
    return value;
}

// The part before the colon (less the character just before it); text keeps what follows
// the character just after it. No colon: the part is empty.
std::string TakePart(std::string& text)
{
    const auto colon = text.find(':');
    if (colon == std::string::npos)
        return {};
    std::string part = text.substr(0, colon >= 1 ? colon - 1 : 0);
    text = colon + 2 <= text.size() ? text.substr(colon + 2) : std::string();
    return part;
}

} // namespace

std::string PadTwoDigits(int64_t value)
{
    std::string text = std::to_string(value);
    return text.size() == 1 ? "0" + text : text;
}

std::string TimeText(int64_t hours, int64_t minutes, int64_t seconds)
{
    return PadTwoDigits(hours) + " : " + PadTwoDigits(minutes) + " : " + PadTwoDigits(seconds);
}

TimeParts ParseTimeText(const std::string& text)
{
    std::string rest = text;
    TimeParts parts;
    parts.Hours = static_cast<uint16_t>(StrToInt(TakePart(rest)));
    parts.Minutes = static_cast<uint16_t>(StrToInt(TakePart(rest)));
    parts.Seconds = static_cast<uint16_t>(StrToInt(rest));
    return parts;
}
