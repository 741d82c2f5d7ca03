#include "platform/LocalTime.h"
#include "platform/TickCount.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(TickCount, SettableSourceAndWrappingArithmetic)
{
    const uint32_t a = GetTickCount();
    const uint32_t b = GetTickCount();
    EXPECT_LT(static_cast<uint32_t>(b - a), 1000u) << "the real clock moves forward";

    uint32_t now = 0xFFFFFF00u;
    SetTickSource([&] { return now; });
    const uint32_t start = GetTickCount();
    now += 0x200; // wraps past zero
    EXPECT_EQ(GetTickCount(), 0x100u);
    EXPECT_EQ(static_cast<uint32_t>(GetTickCount() - start), 0x200u);
    SetTickSource({});
}

TEST(LocalTime, SettableSource)
{
    const QDateTime fixed(QDate(2026, 12, 8), QTime(23, 59, 59));
    SetLocalTimeSource([&] { return fixed; });
    EXPECT_EQ(LocalNow(), fixed);
    SetLocalTimeSource({});
    EXPECT_LT(std::abs(LocalNow().secsTo(QDateTime::currentDateTime())), 5);
}
