#include "cookies/cookie_date.h"

#include <cstring>
#include <string>

namespace ds {
namespace {

bool IsDelimiter(unsigned char c) {
  return c == 0x09 || (c >= 0x20 && c <= 0x2F) || (c >= 0x3B && c <= 0x40) || (c >= 0x5B && c <= 0x60) ||
         (c >= 0x7B && c <= 0x7E);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads min to max digits at `i`; what follows may be anything but a digit.
bool Digits(std::string_view t, size_t& i, size_t min, size_t max, int* value) {
  size_t start = i;
  int v = 0;
  while (i < t.size() && IsDigit(t[i]) && i - start < max) v = v * 10 + (t[i++] - '0');
  if (i - start < min || (i < t.size() && IsDigit(t[i]))) return false;
  *value = v;
  return true;
}

// hms-time: 1*2DIGIT ":" 1*2DIGIT ":" 1*2DIGIT, then anything but a digit.
bool Time(std::string_view t, int* h, int* m, int* s) {
  size_t i = 0;
  if (!Digits(t, i, 1, 2, h) || i >= t.size() || t[i++] != ':') return false;
  if (!Digits(t, i, 1, 2, m) || i >= t.size() || t[i++] != ':') return false;
  return Digits(t, i, 1, 2, s);
}

int Month(std::string_view token) {
  static const char* const kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                        "jul", "aug", "sep", "oct", "nov", "dec"};
  if (token.size() < 3) return 0;
  char lower[3];
  for (int k = 0; k < 3; ++k) lower[k] = static_cast<char>(token[k] | (token[k] >= 'A' && token[k] <= 'Z' ? 0x20 : 0));
  for (int k = 0; k < 12; ++k)
    if (std::memcmp(lower, kMonths[k], 3) == 0) return k + 1;
  return 0;
}

bool IsLeap(int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

}  // namespace

int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

std::optional<int64_t> ParseCookieDate(std::string_view text) {
  bool foundTime = false, foundDay = false, foundMonth = false, foundYear = false;
  int hour = 0, minute = 0, second = 0, day = 0, month = 0, year = 0;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && IsDelimiter(static_cast<unsigned char>(text[i]))) ++i;
    size_t start = i;
    while (i < text.size() && !IsDelimiter(static_cast<unsigned char>(text[i]))) ++i;
    std::string_view token = text.substr(start, i - start);
    if (token.empty()) continue;
    size_t at = 0;
    int value = 0;
    // Each kind is taken once, the first token of its shape; later ones are
    // tried for the next kind.
    if (!foundTime && Time(token, &hour, &minute, &second)) {
      foundTime = true;
    } else if (!foundDay && Digits(token, at, 1, 2, &value)) {
      foundDay = true;
      day = value;
    } else if (!foundMonth && Month(token)) {
      foundMonth = true;
      month = Month(token);
    } else if (at = 0; !foundYear && Digits(token, at, 2, 4, &value)) {
      foundYear = true;
      year = value;
    }
  }
  if (foundYear && year >= 70 && year <= 99) year += 1900;
  else if (foundYear && year >= 0 && year <= 69) year += 2000;
  if (!foundTime || !foundDay || !foundMonth || !foundYear) return std::nullopt;
  if (day < 1 || day > 31 || year < 1601 || hour > 23 || minute > 59 || second > 59) return std::nullopt;
  static const int kDaysIn[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (day > kDaysIn[month - 1] + (month == 2 && IsLeap(year) ? 1 : 0)) return std::nullopt;
  return DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) * 86400 + hour * 3600 +
         minute * 60 + second;
}

}  // namespace ds
