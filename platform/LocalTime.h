#pragma once
// Local date and time of day, as the naming and the schedule read them. Tests replace the
// source to run the clock to any moment.
#include <QDateTime>
#include <functional>

namespace platform {

// The current local date and time (millisecond resolution).
QDateTime LocalNow();

// Replaces the source of LocalNow (tests only); an empty function restores the real clock.
void SetLocalTimeSource(std::function<QDateTime()> source);

} // namespace platform
