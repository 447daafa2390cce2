#include "io/BoundedInput.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace tellurim {

namespace {

constexpr std::size_t kChunkBytes = std::size_t{64} << 10;

}  // namespace

std::string describeInputError(const InputError& error)
{
    switch (error.problem) {
    case InputProblem::NotRegularFile:
        return error.osError == EISDIR ? "a directory, not a file" : "not a regular file";
    case InputProblem::TooLarge:
        return "larger than " + std::to_string(kMaxInputFileBytes >> 20) + " MB";
    case InputProblem::CannotOpen:
    case InputProblem::ReadFailed:
        break;
    }
    std::string text = error.osError != 0 ? std::strerror(error.osError) : "unknown error";
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z')
        text[0] = static_cast<char>(text[0] - 'A' + 'a');
    return text;
}

BoundedInput::~BoundedInput()
{
    close();
}

BoundedInput::BoundedInput(BoundedInput&& other) noexcept
{
    *this = std::move(other);
}

BoundedInput& BoundedInput::operator=(BoundedInput&& other) noexcept
{
    if (this != &other) {
        close();
        m_fd = std::exchange(other.m_fd, -1);
        m_limit = other.m_limit;
        m_buffer = std::move(other.m_buffer);
        m_start = other.m_start;
        m_atEnd = other.m_atEnd;
        m_stopped = other.m_stopped;
        m_lineNumber = other.m_lineNumber;
        m_error = other.m_error;
        m_longLineHasCarriageReturn = other.m_longLineHasCarriageReturn;
        other.reset();
    }
    return *this;
}

void BoundedInput::reset()
{
    m_limit = 0;
    m_buffer.clear();
    m_start = 0;
    m_atEnd = false;
    m_stopped.reset();
    m_lineNumber = 0;
    m_error = {};
    m_longLineHasCarriageReturn = false;
}

void BoundedInput::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    reset();
}

std::optional<InputError> BoundedInput::open(const std::string& path, std::uint64_t maxBytes)
{
    close();
    if (path.empty() || path.find('\0') != std::string::npos)
        return InputError{InputProblem::CannotOpen, path.empty() ? ENOENT : EINVAL};
    // Looked at before opening: opening a device can have effects of its own.
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return InputError{InputProblem::CannotOpen, errno};
    const auto refusal = [maxBytes](const struct stat& s) -> std::optional<InputError> {
        if (!S_ISREG(s.st_mode))
            return InputError{InputProblem::NotRegularFile, S_ISDIR(s.st_mode) ? EISDIR : 0};
        if (static_cast<std::uint64_t>(s.st_size) > maxBytes)
            return InputError{InputProblem::TooLarge, 0};
        return std::nullopt;
    };
    if (auto refused = refusal(status))
        return refused;
    // Non-blocking, so that a pipe put there since cannot hold the open.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return InputError{InputProblem::CannotOpen, errno};
    std::optional<InputError> refused;
    if (::fstat(fd, &status) != 0)
        refused = InputError{InputProblem::ReadFailed, errno};
    else
        refused = refusal(status);
    const int flags = refused ? 0 : ::fcntl(fd, F_GETFL);
    if (!refused && (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0))
        refused = InputError{InputProblem::ReadFailed, errno};
    if (refused) {
        ::close(fd);
        return refused;
    }
    m_fd = fd;
    m_limit = maxBytes;
    return std::nullopt;
}

bool BoundedInput::fill()
{
    if (m_fd < 0 || m_atEnd || m_stopped)
        return false;
    // Past the limit one byte more is asked for: a file that grew while it
    // was read is refused rather than read on without end.
    const std::size_t wanted = m_limit > 0 ? static_cast<std::size_t>(std::min<std::uint64_t>(kChunkBytes, m_limit)) : 1;
    m_buffer.resize(wanted);
    m_start = 0;
    ssize_t got = 0;
    do {
        got = ::read(m_fd, m_buffer.data(), wanted);
    } while (got < 0 && errno == EINTR);
    if (got < 0)
        m_error = InputError{InputProblem::ReadFailed, errno};
    else if (got > 0 && m_limit == 0)
        m_error = InputError{InputProblem::TooLarge, 0};
    if (got < 0 || (got > 0 && m_limit == 0)) {
        m_stopped = LineRead::ReadError;
        m_buffer.clear();
        return false;
    }
    m_buffer.resize(static_cast<std::size_t>(got));
    m_atEnd = got == 0;
    m_limit -= static_cast<std::uint64_t>(got);
    return got > 0;
}

LineRead BoundedInput::nextLine(std::string& line, std::size_t maxLength)
{
    line.clear();
    if (m_stopped)
        return *m_stopped;
    // One byte more than the longest line may be a carriage return.
    const std::size_t kept = maxLength + 1;
    for (;;) {
        if (m_start == m_buffer.size() && !fill()) {
            if (m_stopped)
                return *m_stopped;
            if (line.empty())
                return LineRead::End;
            break;  // a last line without a line break
        }
        const std::size_t newline = m_buffer.find('\n', m_start);
        const std::size_t end = newline == std::string::npos ? m_buffer.size() : newline;
        if (line.size() + (end - m_start) > kept) {
            ++m_lineNumber;
            m_stopped = LineRead::TooLong;
            const std::size_t carriageReturn = m_buffer.find('\r', m_start);
            m_longLineHasCarriageReturn = line.find('\r') != std::string::npos
                                          || (carriageReturn != std::string::npos && carriageReturn < end);
            line.clear();
            return LineRead::TooLong;
        }
        line.append(m_buffer, m_start, end - m_start);
        m_start = end;
        if (newline != std::string::npos) {
            ++m_start;
            break;
        }
    }
    ++m_lineNumber;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    if (line.size() > maxLength) {
        m_stopped = LineRead::TooLong;
        m_longLineHasCarriageReturn = line.find('\r') != std::string::npos;
        line.clear();
        return LineRead::TooLong;
    }
    return LineRead::Line;
}

std::optional<InputError> BoundedInput::read(std::string& bytes, std::size_t count)
{
    while (count > 0) {
        if (m_start == m_buffer.size() && !fill())
            break;
        const std::size_t taken = std::min(count, m_buffer.size() - m_start);
        bytes.append(m_buffer, m_start, taken);
        m_start += taken;
        count -= taken;
    }
    if (m_stopped == LineRead::ReadError)
        return m_error;
    return std::nullopt;
}

}  // namespace tellurim
