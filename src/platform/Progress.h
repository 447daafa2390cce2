#pragma once

namespace tellurim {

/// Where a long operation reports its progress and learns of a cancel; the
/// window layer implements it with the progress window, tests with a script.
/// Positions are in the units of the range (the grid uses percent, which may
/// run past 100 when the walk steps beyond its end).
class Progress {
public:
    virtual ~Progress() = default;
    virtual void setRange(int lower, int upper) = 0;
    virtual void setPosition(int position) = 0;
    /// The step of the bar's own stepping; the grid sets it and never steps.
    virtual void setStep(int step) { (void)step; }
    /// True once the user has asked to cancel; a request is reported once.
    virtual bool pollCancel() = 0;
    /// Called while a long operation waits for its workers, at least every
    /// few hundredths of a second, so that a window can repaint and take a
    /// click on Cancel (which the next pollCancel reports). Never cancels.
    virtual void keepResponsive() {}
};

}  // namespace tellurim
