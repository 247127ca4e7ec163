#include "journal/JournalTime.h"

#include <cstdio>

namespace ordvane {

namespace {

// Reads exactly width decimal digits at position; false when any is not a digit.
bool ReadDigits(std::string_view text, std::size_t position, std::size_t width, int& value) {
    if (position + width > text.size()) {
        return false;
    }
    value = 0;
    for (std::size_t index = position; index < position + width; ++index) {
        if (text[index] < '0' || text[index] > '9') {
            return false;
        }
        value = value * 10 + (text[index] - '0');
    }
    return true;
}

}  // namespace

std::string JournalTime::Format(Seconds time) {
    const auto day = std::chrono::floor<std::chrono::days>(time);
    const std::chrono::year_month_day date(day);
    const std::chrono::hh_mm_ss clock(time - day);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ",
                  static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()), static_cast<int>(clock.hours().count()),
                  static_cast<int>(clock.minutes().count()),
                  static_cast<int>(clock.seconds().count()));
    return text;
}

std::string JournalTime::Now() {
    return Format(std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now()));
}

std::optional<JournalTime::Seconds> JournalTime::Parse(std::string_view text) {
    if (!text.empty() && text.back() == 'Z') {
        text.remove_suffix(1);
    }
    int year = 0;
    int month = 0;
    int day = 0;
    if (!ReadDigits(text, 0, 4, year) || text.size() < 10 || text[4] != '-' ||
        !ReadDigits(text, 5, 2, month) || text[7] != '-' || !ReadDigits(text, 8, 2, day)) {
        return std::nullopt;
    }
    const std::chrono::year_month_day date{std::chrono::year(year),
                                           std::chrono::month(static_cast<unsigned>(month)),
                                           std::chrono::day(static_cast<unsigned>(day))};
    if (!date.ok()) {
        return std::nullopt;
    }
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    if (text.size() > 10) {
        const bool timeOk =
            (text[10] == 'T' || text[10] == ' ') && text.size() >= 16 &&
            ReadDigits(text, 11, 2, hours) && text[13] == ':' && ReadDigits(text, 14, 2, minutes) &&
            (text.size() == 16 ||
             (text.size() == 19 && text[16] == ':' && ReadDigits(text, 17, 2, seconds)));
        if (!timeOk || hours > 23 || minutes > 59 || seconds > 60) {
            return std::nullopt;
        }
    }
    return std::chrono::sys_days(date) + std::chrono::hours(hours) + std::chrono::minutes(minutes) +
           std::chrono::seconds(seconds);
}

}  // namespace ordvane
