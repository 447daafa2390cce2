#pragma once

#include "files/CsvWriter.h"
#include "files/FileError.h"
#include "files/ReplaceFile.h"

#include <optional>
#include <ostream>
#include <streambuf>
#include <string>
#include <memory>
#include <string_view>
#include <vector>

namespace tellurim::cli {

/// The name used in messages about standard output.
inline constexpr std::string_view kStandardOutputName = "standard output";

/// A stream buffer writing to a file descriptor, which keeps the reason of
/// a failed write (a full disk is not the same as a closed pipe), so that
/// the program can say why instead of reporting a bare failure. Callers write
/// whole rows, so what is handed on is whole rows too: a regular file that a
/// failed write leaves behind ends at the last complete row.
class FdOutputBuffer final : public std::streambuf {
public:
    explicit FdOutputBuffer(int fd, std::string name = std::string(kStandardOutputName), size_t capacity = 1 << 16);
    FdOutputBuffer(const FdOutputBuffer&) = delete;
    FdOutputBuffer& operator=(const FdOutputBuffer&) = delete;
    ~FdOutputBuffer() override;

    /// The first failed write, if any; every later write fails as well.
    const std::optional<FileError>& error() const { return m_error; }

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* data, std::streamsize size) override;
    int sync() override;

private:
    bool drain();
    bool writeAll(const char* data, size_t size);

    int m_fd;
    std::string m_name;
    std::vector<char> m_buffer;
    std::optional<FileError> m_error;
};

/// Where a command's CSV or text output goes: a file or a stream.
class OutputTarget {
public:
    virtual ~OutputTarget() = default;
    virtual std::optional<FileError> write(std::string_view bytes) = 0;
    /// Pushes out anything buffered; the last chance to see a failure.
    virtual std::optional<FileError> finish() = 0;
};

/// Writes to a std::ostream. A failure is reported with the cause recorded
/// by an FdOutputBuffer underneath, or otherwise as a full disk (a text line
/// that cannot be written).
class StreamTarget final : public OutputTarget {
public:
    explicit StreamTarget(std::ostream& out) : m_out(out) {}
    std::optional<FileError> write(std::string_view bytes) override;
    std::optional<FileError> finish() override;

private:
    std::optional<FileError> failure() const;
    std::ostream& m_out;
};

/// Writes straight to a file that is not a regular one (a FIFO, a device).
class FileTarget final : public OutputTarget {
public:
    /// Opens the file for writing (a regular file would be emptied).
    std::optional<FileError> create(const std::string& path) { return m_file.create(path); }
    std::optional<FileError> write(std::string_view bytes) override { return m_file.write(bytes); }
    std::optional<FileError> finish() override;

private:
    CsvFile m_file;
};

/// Writes a regular file under a temporary name beside it; the finished file
/// takes the old one's place, so a failed or interrupted run keeps the old one.
class ReplacementTarget final : public OutputTarget {
public:
    std::optional<FileError> create(const std::string& path);
    std::optional<FileError> write(std::string_view bytes) override { return m_pending.write(bytes); }
    std::optional<FileError> finish() override { return m_pending.commit(); }
    /// Removes what was written and says what became of the file at path.
    std::string abandon();

private:
    PendingReplacement m_pending;
    std::string m_path;
};

/// The target for an --output file: a FileTarget for what is written in
/// place (a device, a pipe, a descriptor name such as /dev/stdout), else a
/// ReplacementTarget. Nothing (and the error) when it cannot be created.
std::unique_ptr<OutputTarget> createOutputFile(const std::string& path, std::optional<FileError>& error);

/// What a failed write says: "cannot write NAME: REASON".
std::string writeFailureText(const FileError& error);

}  // namespace tellurim::cli
