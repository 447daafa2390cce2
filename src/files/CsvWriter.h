#pragma once

#include "files/FileError.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tellurim {

/// Appends one CSV row to a caller's buffer, the same way for every export:
/// fields separated by commas, texts in double quotes (a quote inside a text
/// doubled, as CSV readers expect), singles widened to double and written
/// like "%f", integers like "%d", lines ending in CR LF.
class CsvRow {
public:
    explicit CsvRow(std::string& out) : m_out(out) {}
    CsvRow(const CsvRow&) = delete;
    CsvRow& operator=(const CsvRow&) = delete;
    /// Hands on what end() has not.
    ~CsvRow() { flush(); }

    CsvRow& text(std::string_view value);
    CsvRow& number(float value);
    /// number() of each, in order (at most 10 at a time).
    CsvRow& numbers(std::span<const float> values);
    CsvRow& integer(int32_t value);
    /// A double like "%.*f" (decimals 0 to 9): projected coordinates in
    /// metres, which a single cannot hold to the millimetre.
    CsvRow& fixed(double value, int decimals);
    /// Ends the row: an optional comma after the last field, then CR LF.
    void end(bool trailingComma);

private:
    void separate();
    /// Makes room for bytes more in the line, handing on the line so far if needed.
    char* room(size_t bytes);
    void flush();

    // Fields collect in a line of the row's own and reach the string at the
    // end (or when it is full): a grid writes millions of fields, and one
    // append per field would cost more than writing the number.
    static constexpr size_t kLineBytes = 512;
    std::string& m_out;
    bool m_first = true;
    size_t m_used = 0;
    char m_line[kLineBytes];
};

/// An output file for CSV rows. Each write goes straight to the operating
/// system, so a failure (a full disk) is seen at the row that caused it.
class CsvFile {
public:
    CsvFile() = default;
    CsvFile(const CsvFile&) = delete;
    CsvFile& operator=(const CsvFile&) = delete;
    ~CsvFile();

    /// Creates the file, or empties an existing one, for writing.
    std::optional<FileError> create(const std::string& path);
    /// Opens the file for writing, creating it when missing, but leaves an
    /// existing file's content alone until empty(): the caller may still
    /// decide against writing (discard()).
    std::optional<FileError> open(const std::string& path);
    /// Empties the file opened.
    std::optional<FileError> empty();
    /// Closes the file unwritten: removes it when open() created it; an
    /// existing file keeps its content.
    void discard();
    /// The open file's descriptor, or -1.
    int descriptor() const { return m_fd; }
    /// Writes the bytes (whole rows) whole. A write that fails part way
    /// leaves the file ending at the last complete row, as writeRows does.
    /// With sync, also asks the system to put them on disk, so that a crash
    /// afterwards cannot lose them.
    std::optional<FileError> write(std::string_view bytes, bool sync = false);
    bool isOpen() const { return m_fd >= 0; }
    const std::string& path() const { return m_path; }
    void close();

private:
    int m_fd = -1;
    std::string m_path;
    bool m_created = false;  ///< open() made the file
};

/// "Error writing CSV file. Code: " + cause code + "."
std::string csvWriteErrorText(const FileError& error);

}  // namespace tellurim
