#pragma once

namespace tellurim {

/// A calendar date in the local time zone.
struct CalendarDate {
    int year = 2000;
    int month = 1;  ///< 1 to 12
    int day = 1;    ///< 1 to 31
};

}  // namespace tellurim
