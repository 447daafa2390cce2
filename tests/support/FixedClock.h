#pragma once

#include "platform/Clock.h"

namespace tellurim {

/// A clock whose "today" is whatever the test says.
class FixedClock final : public Clock {
public:
    FixedClock(int year, int month, int day) : m_date{year, month, day} {}
    CalendarDate today() const override { return m_date; }
    void set(int year, int month, int day) { m_date = CalendarDate{year, month, day}; }

private:
    CalendarDate m_date;
};

}  // namespace tellurim
