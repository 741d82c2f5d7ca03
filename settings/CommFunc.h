#pragma once
// The time texts of the queue's records, shared by the recording texts, the naming and the schedule.
#include <cstdint>
#include <string>

// The number in decimal, with a "0" in front when it has one digit; longer numbers keep all
// their digits.
std::string PadTwoDigits(int64_t value);

// A time text: hours, minutes and seconds, each by PadTwoDigits, joined by " : ".
std::string TimeText(int64_t hours, int64_t minutes, int64_t seconds);

struct TimeParts {
    uint16_t Hours = 0;
    uint16_t Minutes = 0;
    uint16_t Seconds = 0;
};

// The parts of a time text. Each colon must have exactly one character on either side of it
// (the space of " : "): the characters before that one are a part, the text after it goes on.
// Each part is a whole decimal number with an optional sign, kept as its low 16 bits.
// Throws platform::PlatformError("'<part>' is not a valid integer value") for an empty or
// non-numeric part, so "7:05:00" fails and "7 : 5 : 0" gives 7, 5, 0.
TimeParts ParseTimeText(const std::string& text);
