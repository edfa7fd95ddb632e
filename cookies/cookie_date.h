// Dates as cookies write them in Expires: the lenient cookie-date algorithm
// browsers use, not strict HTTP-date ("Wed, 09 Jun 2021 10:18:14 GMT",
// "Wednesday, 09-Jun-21 10:18:14 GMT", "Jun 9 10:18:14 2021" all read).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace ds {

// Seconds since 1970-01-01 UTC; none when a part is missing or out of range,
// the year is before 1601, or the date does not exist (30 February).
std::optional<int64_t> ParseCookieDate(std::string_view text);

// Days since 1970-01-01 of a proleptic Gregorian date (month 1 to 12).
int64_t DaysFromCivil(int64_t year, unsigned month, unsigned day);

}  // namespace ds
