#include "grid/GridSize.h"

#include "files/ReplaceFile.h"
#include "grid/GridCsv.h"
#include "grid/GridWalk.h"

#include <array>
#include <cstdio>
#include <sys/stat.h>
#include <sys/statvfs.h>

namespace tellurim {

namespace {

uint64_t axisLength(float start, float end, float increment,
                    float ceiling = std::numeric_limits<float>::infinity())
{
    uint64_t count = 0;
    for (GridAxisWalk walk(start, end, increment, ceiling); walk.valid(); walk.advance()) {
        ++count;
    }
    return count;
}

}  // namespace

uint64_t gridPointCount(const GridSettings& area)
{
    return axisLength(area.StartLat, area.EndLat, area.LatInc, kHighestGridLatitude) *
           axisLength(area.StartLong, area.EndLong, area.LongInc);
}

uint64_t estimatedGridFileBytes(const GridSettings& area)
{
    return gridCsvHeader().size() + gridPointCount(area) * kTypicalGridLineBytes;
}

std::string byteSizeText(uint64_t bytes)
{
    if (bytes < 1000) {
        return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
    }
    static constexpr std::array<const char*, 6> kUnits{"kB", "MB", "GB", "TB", "PB", "EB"};
    double value = static_cast<double>(bytes) / 1000.0;
    size_t unit = 0;
    // 999.96 kB shows as "1.0 MB", not "1000.0 kB".
    while (value >= 999.95 && unit + 1 < kUnits.size()) {
        value /= 1000.0;
        ++unit;
    }
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%.1f %s", value, kUnits[unit]);
    return text.data();
}

std::optional<uint64_t> freeBytesFor(const std::string& path)
{
    struct statvfs info {};
    if (::statvfs(path.c_str(), &info) != 0 && ::statvfs(folderOfPath(path).c_str(), &info) != 0) {
        return std::nullopt;
    }
    return static_cast<uint64_t>(info.f_bavail) * static_cast<uint64_t>(info.f_frsize);
}

std::optional<SpaceShortage> gridSpaceShortage(const GridSettings& area, const std::string& path)
{
    // A FIFO or a device takes the bytes without keeping them.
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    const std::optional<uint64_t> free = freeBytesFor(path);
    const uint64_t needed = estimatedGridFileBytes(area);
    if (!free || needed <= *free) {
        return std::nullopt;
    }
    return SpaceShortage{needed, *free};
}

std::optional<SpaceShortage> gridSpaceShortage(const GridSettings& area, int fd)
{
    struct stat info {};
    struct statvfs system {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || ::fstatvfs(fd, &system) != 0 ||
        system.f_blocks == 0) {
        return std::nullopt;
    }
    const uint64_t free = static_cast<uint64_t>(system.f_bavail) * static_cast<uint64_t>(system.f_frsize) +
                          static_cast<uint64_t>(info.st_blocks) * 512u;
    const uint64_t needed = estimatedGridFileBytes(area);
    if (needed <= free) {
        return std::nullopt;
    }
    return SpaceShortage{needed, free};
}

}  // namespace tellurim
