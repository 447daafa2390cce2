#pragma once

namespace tellurim {

// Marks the workspace busy for one operation, so that focus changes caused
// by its boxes and dialogs are not taken as edits. Nested operations (the
// save a load offers) keep the outer operation's mark.
class BusyMark {
public:
    explicit BusyMark(bool& busy) : m_busy(busy), m_previous(busy) { m_busy = true; }
    ~BusyMark() { m_busy = m_previous; }
    BusyMark(const BusyMark&) = delete;
    BusyMark& operator=(const BusyMark&) = delete;

private:
    bool& m_busy;
    bool m_previous;
};

}  // namespace tellurim
