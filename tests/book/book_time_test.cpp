#include "book/book_time.h"

#include <gtest/gtest.h>

#include <cmath>

namespace folivra {
namespace {

TEST(BookTime, FormatsWithTheDefaultPattern) {
  const double t = date_time_from_calendar({2018, 9, 16, 8, 5, 3});
  EXPECT_EQ(format_book_time(t), "2018-09-16 08:05:03");
  EXPECT_EQ(format_book_time(0.0), "1899-12-30 00:00:00");
  EXPECT_EQ(format_book_time(1.5), "1899-12-31 12:00:00");
  EXPECT_EQ(format_book_time(2958465.0), "9999-12-31 00:00:00");
  EXPECT_EQ(format_book_time(-657434.0), "100-01-01 00:00:00");
}

TEST(BookTime, FarOutDatesStayOnTheCalendar) {
  EXPECT_EQ(format_book_time(1e300), "9999-12-31 00:00:00");
  EXPECT_EQ(format_book_time(-1e300), "100-01-01 00:00:00");
}

TEST(BookTime, NegativeDatesCountTheTimeForwards) {
  EXPECT_EQ(format_book_time(-1.25), "1899-12-29 06:00:00");
  EXPECT_EQ(format_book_time(-2.0), "1899-12-28 00:00:00");
  EXPECT_EQ(date_time_from_calendar({1899, 12, 29, 6, 0, 0}), -1.25);
}

TEST(BookTime, SecondsRoundToTheNearest) {
  const double base = date_time_from_calendar({2020, 2, 29, 23, 59, 59});
  EXPECT_EQ(format_book_time(base + 0.4 / 86400), "2020-02-29 23:59:59");
  EXPECT_EQ(format_book_time(base + 0.6 / 86400), "2020-03-01 00:00:00");
}

TEST(BookTime, PatternIsReplacedStepByStep) {
  const double t = date_time_from_calendar({2021, 1, 2, 3, 4, 5});
  EXPECT_EQ(format_book_time(t, "RR/YY/NN"), "02/01/2021");
  EXPECT_EQ(format_book_time(t, "nn NNN"), "nn 2021N");
  EXPECT_EQ(format_book_time(t, "no fields"), "no fields");
}

TEST(BookTime, CalendarRoundTrip) {
  for (double day : {-657434.0, -1.0, 0.0, 59.0, 60.0, 61.0, 36526.0, 45292.75, 2958465.0}) {
    const CalendarTime c = calendar_from_date_time(day);
    EXPECT_EQ(date_time_from_calendar(c), day) << day;
  }
}

TEST(BookTime, NowIsWholeSeconds) {
  const double now = current_date_time();
  EXPECT_GT(now, 45000.0);  // after 2023
  const double seconds = (now - std::floor(now)) * 86400.0;
  EXPECT_NEAR(seconds, std::round(seconds), 1e-3);
}

TEST(PadNumber, FillsButNeverShortens) {
  EXPECT_EQ(pad_number(9, 2), "09");
  EXPECT_EQ(pad_number(0, 2), "00");
  EXPECT_EQ(pad_number(2018, 2), "2018");
  EXPECT_EQ(pad_number(7, 0), "7");
  EXPECT_EQ(pad_number(42, 5), "00042");
}

}  // namespace
}  // namespace folivra
