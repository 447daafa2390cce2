#pragma once

#include "engine/FieldResult.h"

#include <string>

namespace tellurim {

/// The header of a CSV of points at several dates: "Julian Date" (the
/// decimal year, under its historic name) and "Elevation (m)", then the
/// grid file's columns, CR LF.
void appendSeriesHeader(std::string& out);

/// One point's row under that header.
void appendSeriesLine(std::string& out, float year, float elevation, float latitude, float longitude,
                      const FieldResult& result);

}  // namespace tellurim
