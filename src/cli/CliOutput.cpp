#include "cli/CliOutput.h"

#include "files/WriteAll.h"

#include <cstring>

namespace tellurim::cli {

FdOutputBuffer::FdOutputBuffer(int fd, std::string name, size_t capacity)
    : m_fd(fd), m_name(std::move(name)), m_buffer(capacity > 0 ? capacity : 1)
{
    setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
}

FdOutputBuffer::~FdOutputBuffer()
{
    drain();
}

bool FdOutputBuffer::writeAll(const char* data, size_t size)
{
    if (!m_error) {
        m_error = tellurim::writeRows(m_fd, std::string_view(data, size), m_name);
    }
    return !m_error;
}

bool FdOutputBuffer::drain()
{
    const auto pending = static_cast<size_t>(pptr() - pbase());
    // The buffer is emptied even when the write fails: nothing buffered may
    // be mistaken later for bytes that still have a chance to arrive.
    setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
    return pending == 0 ? !m_error : writeAll(m_buffer.data(), pending);
}

FdOutputBuffer::int_type FdOutputBuffer::overflow(int_type c)
{
    if (!drain()) {
        return traits_type::eof();
    }
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

std::streamsize FdOutputBuffer::xsputn(const char* data, std::streamsize size)
{
    if (m_error || size <= 0) {
        return m_error ? 0 : size;
    }
    const auto length = static_cast<size_t>(size);
    const auto room = static_cast<size_t>(epptr() - pptr());
    if (length <= room) {
        traits_type::copy(pptr(), data, length);
        pbump(static_cast<int>(length));
        return size;
    }
    // Large blocks go straight to the descriptor after what is buffered.
    if (!drain() || !writeAll(data, length)) {
        return 0;
    }
    return size;
}

int FdOutputBuffer::sync()
{
    return drain() ? 0 : -1;
}

std::optional<FileError> StreamTarget::failure() const
{
    if (const auto* buffer = dynamic_cast<const FdOutputBuffer*>(m_out.rdbuf()); buffer && buffer->error()) {
        return buffer->error();
    }
    return FileError{FileCause::DiskFull, -1, std::string(kStandardOutputName)};
}

std::optional<FileError> StreamTarget::write(std::string_view bytes)
{
    m_out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!m_out) {
        return failure();
    }
    return std::nullopt;
}

std::optional<FileError> StreamTarget::finish()
{
    m_out.flush();
    if (!m_out) {
        return failure();
    }
    return std::nullopt;
}

std::optional<FileError> FileTarget::finish()
{
    m_file.close();
    return std::nullopt;
}

std::optional<FileError> ReplacementTarget::create(const std::string& path)
{
    m_path = path;
    if (auto failure = m_pending.begin(path)) {
        return failure->error;
    }
    return std::nullopt;
}

std::string ReplacementTarget::abandon()
{
    m_pending.abandon();
    return m_pending.replacesAFile() ? "the old " + m_path + " is kept" : m_path + " was not created";
}

std::unique_ptr<OutputTarget> createOutputFile(const std::string& path, std::optional<FileError>& error)
{
    if (writeWayFor(path) == WriteWay::InPlace) {
        auto direct = std::make_unique<FileTarget>();
        error = direct->create(path);
        return error ? nullptr : std::move(direct);
    }
    auto replacement = std::make_unique<ReplacementTarget>();
    error = replacement->create(path);
    return error ? nullptr : std::move(replacement);
}

std::string writeFailureText(const FileError& error)
{
    std::string text = "cannot write " + error.fileName;
    if (!error.detail.empty()) {
        text += ": it " + error.detail;
    } else if (error.osError > 0) {
        text += ": ";
        text += std::strerror(error.osError);
    }
    return text;
}

}  // namespace tellurim::cli
