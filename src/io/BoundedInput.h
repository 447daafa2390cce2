#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace tellurim {

// The one way this program reads an input file: whatever the path names (a
// device, a pipe with no writer, a file that never ends), opening never
// blocks and reading stops after a fixed number of bytes, so a wrong choice
// gets its message at once instead of hanging or filling memory.

/// No input file is larger; a bigger one is refused before a byte is read.
inline constexpr std::uint64_t kMaxInputFileBytes = std::uint64_t{64} << 20;
/// A model file line longer than this (line end not counted) cannot be a
/// record, and reading stops there.
inline constexpr std::size_t kMaxModelLineBytes = 512;

/// Why an input file could not be read.
enum class InputProblem {
    CannotOpen,      ///< open failed; osError tells why
    NotRegularFile,  ///< a directory, device, pipe or socket
    TooLarge,        ///< larger than the size limit
    ReadFailed,      ///< the system reported an error while reading
};

struct InputError {
    InputProblem problem = InputProblem::CannotOpen;
    int osError = 0;  ///< errno for CannotOpen and ReadFailed, else 0
};

/// A short lower-case reason for an error: "not a regular file",
/// "larger than 64 MB", or the system's text for the error number.
std::string describeInputError(const InputError& error);

enum class LineRead {
    Line,       ///< a line was read
    End,        ///< no more lines
    TooLong,    ///< the line is longer than allowed; nothing more is read
    ReadError,  ///< see BoundedInput::error(); nothing more is read
};

/// An open input file. Not copyable; closes on destruction.
class BoundedInput {
public:
    BoundedInput() = default;
    ~BoundedInput();
    BoundedInput(BoundedInput&& other) noexcept;
    BoundedInput& operator=(BoundedInput&& other) noexcept;
    BoundedInput(const BoundedInput&) = delete;
    BoundedInput& operator=(const BoundedInput&) = delete;

    /// Opens path for reading, closing what was open before. Refuses
    /// anything but a regular file (after following links) and a file
    /// larger than maxBytes. Returns the reason when nothing is open.
    std::optional<InputError> open(const std::string& path, std::uint64_t maxBytes = kMaxInputFileBytes);
    bool isOpen() const { return m_fd >= 0; }
    void close();

    /// The next line, without its "\n" and a "\r" before it. The last line
    /// need not end in "\n". A line of more than maxLength bytes gives
    /// TooLong without being kept or read to its end.
    LineRead nextLine(std::string& line, std::size_t maxLength = kMaxModelLineBytes);

    /// Appends at most count further bytes to bytes; fewer at the end of the
    /// file. Returns the reason when reading failed.
    std::optional<InputError> read(std::string& bytes, std::size_t count);

    /// Lines handed out by nextLine so far; after TooLong, the number of the
    /// line that was too long.
    std::uint64_t lineNumber() const { return m_lineNumber; }
    /// What went wrong after ReadError.
    const InputError& error() const { return m_error; }
    /// After TooLong: the long line holds a carriage return, so its file
    /// most likely ends its lines in CR alone and is one line to this reader.
    bool longLineHasCarriageReturn() const { return m_longLineHasCarriageReturn; }

private:
    bool fill();
    void reset();

    int m_fd = -1;
    std::uint64_t m_limit = 0;     ///< bytes that may still be read
    std::string m_buffer;          ///< read ahead, from m_start on unused
    std::size_t m_start = 0;
    bool m_atEnd = false;
    std::optional<LineRead> m_stopped;  ///< TooLong or ReadError, once met
    std::uint64_t m_lineNumber = 0;
    InputError m_error;
    bool m_longLineHasCarriageReturn = false;
};

}  // namespace tellurim
