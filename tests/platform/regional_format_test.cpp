#include "platform/qt_platform.h"
#include "tests/support/scripted_platform.h"

#include <gtest/gtest.h>

using namespace wirtello;

TEST(RegionalFormat, ShortDateUsesTheRegionalSeparator)
{
    ScriptedPlatform platform;
    platform.setShortDateFormat(QStringLiteral("dd/mm/yyyy"));
    platform.separator = QStringLiteral(".");
    EXPECT_EQ(platform.formatShortDate(QDate(2026, 3, 6)), QStringLiteral("06.03.2026"));
    platform.separator = QStringLiteral("-");
    EXPECT_EQ(platform.formatShortDate(QDate(2026, 12, 31)), QStringLiteral("31-12-2026"));
}

TEST(RegionalFormat, LongTimeFollowsTheRegionalFormat)
{
    ScriptedPlatform platform;
    platform.timeFormat = QStringLiteral("H:mm:ss");
    EXPECT_EQ(platform.formatLongTime(QTime(9, 5, 7)), QStringLiteral("9:05:07"));
    platform.timeFormat = QStringLiteral("h:mm:ss AP");
    EXPECT_EQ(platform.formatLongTime(QTime(21, 5, 7)), QStringLiteral("9:05:07 PM"));
}

TEST(RegionalFormat, TimeZoneIsLeftOutOfTheLongTimeFormat)
{
    const std::pair<QString, QString> rows[] = {
        {QStringLiteral("HH:mm:ss t"), QStringLiteral("HH:mm:ss")},
        {QStringLiteral("h:mm:ss AP tttt"), QStringLiteral("h:mm:ss AP")},
        {QStringLiteral("t HH:mm:ss"), QStringLiteral("HH:mm:ss")},
        {QStringLiteral("HH:mm t ss"), QStringLiteral("HH:mmss")},
        {QStringLiteral("HH:mm:ss"), QStringLiteral("HH:mm:ss")},
        {QStringLiteral("tt"), QString()},
    };
    for (const auto& [format, expected] : rows)
        EXPECT_EQ(withoutTimeZone(format), expected) << format.toStdString();
}
