#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

namespace tellurim {

/// What the C library's snprintf makes of the values: the reference every
/// hand-made formatting is held to.
template <typename... Values>
std::string cFormat(const char* format, Values... values)
{
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, format, values...);
    return buffer;
}

/// Splits CR LF terminated lines; a missing final CR LF leaves the rest as a last line.
std::vector<std::string> crlfLines(const std::string& text);
/// The comma-separated fields of one line, empty ones included.
std::vector<std::string> splitFields(const std::string& line);
/// How often part occurs in text, overlaps included.
std::size_t countOf(const std::string& text, const std::string& part);

}  // namespace tellurim
