#pragma once
// Time-text helpers shared by the recording texts, the naming and the schedule.
#include <cstdint>
#include <string>

// The number in decimal, with a "0" in front when it has one digit; longer numbers keep all
// their digits.
std::string PadTwoDigits(int64_t value);
