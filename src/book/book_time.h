#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace folivra {

inline constexpr std::string_view kDefaultTimePattern = "NN-YY-RR SS:FF:MM";

struct CalendarTime {
  int year, month, day, hour, minute, second;
};

// OLE Automation dates: days since 1899-12-30, the fraction is the time of day.
CalendarTime calendar_from_date_time(double date_time);  // rounded to the second
double date_time_from_calendar(const CalendarTime& t);
double current_date_time();  // local time, whole seconds

// Replaces NN, YY, RR, SS, FF and MM with year, month, day, hour, minute, second.
std::string format_book_time(double date_time, std::string_view pattern = kDefaultTimePattern);
std::string pad_number(int64_t value, int width);

}  // namespace folivra
