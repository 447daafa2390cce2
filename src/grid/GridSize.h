#pragma once

#include "record/GridSettings.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tellurim {

/// A point line's average width: a whole-Earth grid's lines run from 181 to
/// 214 bytes and average 200.5.
inline constexpr uint64_t kTypicalGridLineBytes = 201;

/// Rows and columns of a grid, as the walk visits them.
uint64_t gridPointCount(const GridSettings& area);

/// About how many bytes the grid file of area takes: the header and one
/// line of the typical width per point.
uint64_t estimatedGridFileBytes(const GridSettings& area);

/// A size for people, in decimal units with one decimal: "13.5 TB",
/// "38.2 GB", "1.0 kB"; below a kilobyte the bytes ("512 bytes").
std::string byteSizeText(uint64_t bytes);

/// The bytes an ordinary user may still write (f_bavail * f_frsize) on the
/// file system that holds path, or would hold it once created. Nothing when
/// the system cannot tell.
std::optional<uint64_t> freeBytesFor(const std::string& path);

struct SpaceShortage {
    uint64_t needed = 0;  ///< the estimate
    uint64_t free = 0;
};

/// The estimate against the free space where path is written: a shortage
/// when the grid will not fit, nothing when it fits, when the free space is
/// not known or when path is not a regular file (a FIFO, a device).
std::optional<SpaceShortage> gridSpaceShortage(const GridSettings& area, const std::string& path);

/// The same for a file already open for writing (fd): measured on the file
/// system the file is on, counting the space its present content frees when
/// it is emptied. Nothing unless it is a regular file on a file system that
/// stores data (proc and sysfs report no blocks at all).
std::optional<SpaceShortage> gridSpaceShortage(const GridSettings& area, int fd);

}  // namespace tellurim
