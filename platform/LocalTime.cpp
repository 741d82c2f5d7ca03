#include "LocalTime.h"

#include "Replaceable.h"

namespace platform {
namespace {
Replaceable<QDateTime>& Source()
{
    static Replaceable<QDateTime> source(&QDateTime::currentDateTime);
    return source;
}
} // namespace

QDateTime LocalNow() { return Source()(); }

void SetLocalTimeSource(std::function<QDateTime()> source) { Source().Replace(std::move(source)); }

} // namespace platform
