#pragma once

#include <csignal>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace tellurim {

/// SIGTERM and SIGINT handled on the thread that made this: the handler only
/// writes a byte to a pipe, and the next time the thread handles its events
/// (in an event loop, or in a long job that keeps its window responsive)
/// onSignal runs. One at a time; the previous handlers come back when it is
/// destroyed.
class TerminationSignals {
public:
    explicit TerminationSignals(std::function<void()> onSignal);
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    /// True once a signal has been handled.
    bool received() const { return m_received; }

private:
    std::function<void()> m_onSignal;
    std::unique_ptr<QSocketNotifier> m_notifier;
    bool m_received = false;
    struct sigaction m_previousTerm {};
    struct sigaction m_previousInt {};
};

}  // namespace tellurim
