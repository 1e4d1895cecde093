#include "book/book_time.h"

#include <algorithm>
#include <cmath>
#include <ctime>

namespace folivra {

namespace {

// Days between 1970-01-01 and 1899-12-30.
constexpr int64_t kOleEpochOffset = 25569;

// Howard Hinnant's days_from_civil / civil_from_days, relative to 1970-01-01.
int64_t days_from_civil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void civil_from_days(int64_t z, CalendarTime& t) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  t.year = static_cast<int>(yoe + era * 400 + (t.month <= 2));
}

void replace_all(std::string& text, std::string_view from, const std::string& to) {
  std::string out;
  size_t pos = 0;
  for (size_t hit; (hit = text.find(from, pos)) != std::string::npos; pos = hit + from.size()) {
    out.append(text, pos, hit - pos);
    out += to;
  }
  out.append(text, pos);
  text = std::move(out);
}

}  // namespace

CalendarTime calendar_from_date_time(double date_time) {
  if (!std::isfinite(date_time)) date_time = 0.0;
  // Outside 0100-01-01 .. 9999-12-31 there is no calendar to show.
  date_time = std::clamp(date_time, -657434.0, 2958465.0);
  // Negative dates count whole days backwards but the fraction still runs
  // forwards from midnight: -1.25 is 1899-12-29 06:00.
  double whole = std::trunc(date_time);
  int64_t seconds = std::llround(std::fabs(date_time - whole) * 86400.0);
  int64_t days = static_cast<int64_t>(whole);
  if (seconds >= 86400) {
    seconds -= 86400;
    days += 1;
  }
  CalendarTime t{};
  civil_from_days(days - kOleEpochOffset, t);
  t.hour = static_cast<int>(seconds / 3600);
  t.minute = static_cast<int>(seconds / 60 % 60);
  t.second = static_cast<int>(seconds % 60);
  return t;
}

double date_time_from_calendar(const CalendarTime& t) {
  const double days =
      static_cast<double>(days_from_civil(t.year, t.month, t.day) + kOleEpochOffset);
  const double fraction = (t.hour * 3600 + t.minute * 60 + t.second) / 86400.0;
  return days >= 0 ? days + fraction : days - fraction;
}

double current_date_time() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  return date_time_from_calendar({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                  local.tm_hour, local.tm_min, local.tm_sec});
}

std::string pad_number(int64_t value, int width) {
  // Digits by hand: the reader program stays free of the printf machinery.
  std::string text;
  uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  do {
    text.insert(text.begin(), static_cast<char>('0' + magnitude % 10));
    magnitude /= 10;
  } while (magnitude > 0);
  if (value < 0) text.insert(text.begin(), '-');
  if (static_cast<int>(text.size()) < width) text.insert(0, width - text.size(), '0');
  return text;
}

std::string format_book_time(double date_time, std::string_view pattern) {
  const CalendarTime t = calendar_from_date_time(date_time);
  std::string text(pattern);
  replace_all(text, "NN", pad_number(t.year, 2));
  replace_all(text, "YY", pad_number(t.month, 2));
  replace_all(text, "RR", pad_number(t.day, 2));
  replace_all(text, "SS", pad_number(t.hour, 2));
  replace_all(text, "FF", pad_number(t.minute, 2));
  replace_all(text, "MM", pad_number(t.second, 2));
  return text;
}

}  // namespace folivra
