#pragma once

#include "files/FileError.h"
#include "grid/GridProducer.h"
#include "platform/Progress.h"

#include <atomic>
#include <cerrno>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace tellurim::gridtest {

/// Records every progress call; answers "cancel" at one chosen poll. Counts
/// the calls made on a thread other than the one that built it.
class ScriptedProgress : public Progress {
public:
    explicit ScriptedProgress(int cancelAtPoll = 0) : m_cancelAtPoll(cancelAtPoll) {}
    void setRange(int lower, int upper) override
    {
        note();
        events.push_back("range " + std::to_string(lower) + " " + std::to_string(upper));
    }
    void setPosition(int position) override
    {
        note();
        events.push_back("position " + std::to_string(position));
    }
    bool pollCancel() override
    {
        note();
        events.push_back("poll");
        return ++m_polls == m_cancelAtPoll || cancelRequested;
    }
    void keepResponsive() override
    {
        note();
        ++keptResponsive;
    }

    std::vector<std::string> events;
    int keptResponsive = 0;
    int callsOffThread = 0;
    /// Set from anywhere: a click on Cancel, seen by the next poll.
    std::atomic<bool> cancelRequested{false};

private:
    void note()
    {
        if (std::this_thread::get_id() != m_thread) {
            ++callsOffThread;
        }
    }

    std::thread::id m_thread = std::this_thread::get_id();
    int m_cancelAtPoll;
    int m_polls = 0;
};

/// Keeps what is written; fails the chosen write with a full disk.
class LineRecorder {
public:
    explicit LineRecorder(int failAtWrite = 0) : m_failAtWrite(failAtWrite) {}
    std::optional<FileError> write(std::string_view bytes)
    {
        ++calls;
        if (calls == m_failAtWrite) {
            return FileError{FileCause::DiskFull, ENOSPC, "grid.csv"};
        }
        writes.emplace_back(bytes);
        text.append(bytes);
        return std::nullopt;
    }
    GridProducer::Writer writer()
    {
        return [this](std::string_view bytes) { return write(bytes); };
    }
    std::vector<std::string> writes;
    std::string text;
    int calls = 0;

private:
    int m_failAtWrite;
};

}  // namespace tellurim::gridtest
