#pragma once

namespace tellurim {

/// A calendar date in the local time zone.
struct CalendarDate {
    int year = 2000;
    int month = 1;  ///< 1 to 12
    int day = 1;    ///< 1 to 31
};

/// Source of "today", injected so that start-up is testable.
class Clock {
public:
    virtual ~Clock() = default;
    virtual CalendarDate today() const = 0;
};

/// Today's local date from the system clock.
class SystemClock final : public Clock {
public:
    CalendarDate today() const override;
};

}  // namespace tellurim
