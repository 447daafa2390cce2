#pragma once

namespace tellurim {

/// Where a long operation reports its progress and learns of a cancel; the
/// window layer implements it with the progress window, tests with a script.
class Progress {
public:
    virtual ~Progress() = default;
    virtual void setRange(int lower, int upper) = 0;
    virtual void setPosition(int position) = 0;
    /// True once the user has asked to cancel.
    virtual bool pollCancel() = 0;
};

}  // namespace tellurim
