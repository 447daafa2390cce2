#pragma once

#include "record/CalendarDate.h"

namespace tellurim {

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
