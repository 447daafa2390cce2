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

/// writeAll for bytes made of whole rows. When the write fails part way on
/// a regular file (a full disk), the file is cut back to where this write
/// began, so it still ends at the last complete row and a later write does
/// not continue a fragment. Pipes and devices are written as by writeAll.
std::optional<FileError> writeRows(int fd, std::string_view bytes, const std::string& fileName);

}  // namespace tellurim
