#pragma once

#include "files/ReplaceFile.h"

#include <optional>
#include <string>

namespace tellurim {

struct MapLayout;

enum class MapFormat { Png, Svg, Pdf };

/// The format a file name asks for by its extension (.png, .svg, .pdf, in
/// any case), or nothing.
std::optional<MapFormat> mapFormatOf(const std::string& path);

/// The picture as the bytes of a file of the format; nothing when Qt could
/// not produce them (an image too large for memory).
std::optional<std::string> encodeMap(const MapLayout& layout, MapFormat format);

/// How writing a map file ended: nothing on success, else what to say.
struct MapWriteFailure {
    std::optional<ReplaceFailure> file;  ///< the file could not be written (the old one stays)
    std::string reason;                  ///< the picture could not be made
};

/// Writes the picture to path through the one replacement path, so a
/// failed write keeps the old file.
std::optional<MapWriteFailure> writeMapFile(const std::string& path, const MapLayout& layout, MapFormat format);

}  // namespace tellurim
