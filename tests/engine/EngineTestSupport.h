#pragma once

#include "workspace/ModelEngine.h"
#include "engine/ModelFileReader.h"
#include "support/EngineSupport.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace tellurim::test {

/// A header record with each field in its columns.
inline std::string headerRecord(const std::string& epoch, const std::string& name = "TEST-MODEL",
                                const std::string& lifeSpan = "5.0", const std::string& latMin = "",
                                const std::string& latMax = "", const std::string& lonMin = "",
                                const std::string& lonMax = "")
{
    char line[128];
    std::snprintf(line, sizeof line, "    %6s     %-20s %12s%6s%6s%6s%6s%6s", epoch.c_str(),
                  name.c_str(), "01/01/2000", lifeSpan.c_str(), latMin.c_str(), latMax.c_str(),
                  lonMin.c_str(), lonMax.c_str());
    return line;
}

/// A coefficient record as the shipped files write them (one decimal).
inline std::string coefficientRecord(int n, int m, double g, double h, double gRate = 0.0, double hRate = 0.0)
{
    char line[128];
    std::snprintf(line, sizeof line, "%3d%3d%10.1f%10.1f%11.1f%11.1f", n, m, g, h, gRate, hRate);
    return line;
}

inline const std::string kEndRecord(48, '9');
inline const std::string kAxialDipole = coefficientRecord(1, 0, -30000.0, 0.0);

/// A whole model file: the header, the records and the end record, a line each.
inline std::string modelText(const std::string& header, const std::vector<std::string>& records = {kAxialDipole})
{
    std::string text = header + "\n";
    for (const std::string& record : records)
        text += record + "\n";
    return text + kEndRecord + "\n";
}

/// What a model file holds once read and converted; fails the test when
/// it does not read.
inline ModelFile contentOf(const std::string& path, int32_t degree = kAllDegrees)
{
    std::variant<ModelFile, ModelReadProblem> read = readModelContent(path, degree);
    EXPECT_TRUE(std::holds_alternative<ModelFile>(read)) << path;
    return std::holds_alternative<ModelFile>(read) ? std::get<ModelFile>(std::move(read)) : ModelFile{};
}

/// An engine reading model files written to its own scratch folder.
struct ScratchModel {
    /// Writes the text as a model file and reads it; name keeps what the
    /// reader left in it.
    bool load(const std::string& text, const std::string& file = "m.COF")
    {
        name = dir.write(file, text);
        engine.readModelFile(kAllDegrees, name);
        return engine.isLoaded();
    }
    FieldAtTime at(float latitude, float longitude, float time = 2000.0f, float altitude = 0.0f)
    {
        FieldAtTime out;
        engine.synthesize(altitude, latitude, longitude, time, out);
        return out;
    }

    /// The file's content as read and converted for the synthesis.
    ModelFile content(int32_t degree = kAllDegrees) const { return contentOf(name, degree); }

    TempDir dir;
    RecordingSink sink;
    ModelEngine engine{sink};
    std::string name;
};

inline FieldAtTime synthesize(ModelEngine& engine, float altitude, float latitude, float longitude, float time)
{
    FieldAtTime out;
    engine.synthesize(altitude, latitude, longitude, time, out);
    return out;
}

}  // namespace tellurim::test
