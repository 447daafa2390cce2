#pragma once

#include "files/FileError.h"

#include <optional>
#include <string>
#include <string_view>

namespace tellurim {

/// Writes the bytes whole to a file descriptor: short writes are continued
/// and interrupted ones retried. A write that takes nothing counts as a full
/// disk. The error names fileName.
std::optional<FileError> writeAll(int fd, std::string_view bytes, const std::string& fileName);

}  // namespace tellurim
