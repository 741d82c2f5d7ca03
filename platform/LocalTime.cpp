#include "LocalTime.h"

namespace platform {
namespace {
std::function<QDateTime()>& Source()
{
    static std::function<QDateTime()> source;
    return source;
}
} // namespace

QDateTime LocalNow()
{
    if (auto& source = Source())
        return source();
    return QDateTime::currentDateTime();
}

void SetLocalTimeSource(std::function<QDateTime()> source)
{
    Source() = std::move(source);
}

} // namespace platform
