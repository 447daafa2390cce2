#pragma once

#include "engine/EngineMessageSink.h"
#include "engine/ModelEngine.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <system_error>
#include <vector>

namespace tellurim::test {

/// Remembers every message instead of showing it.
class RecordingSink : public EngineMessageSink {
public:
    struct Entry {
        bool information;
        std::string text;
    };
    void showPlainMessage(const std::string& text) override { entries.push_back({false, text}); }
    void showInformationMessage(const std::string& text) override { entries.push_back({true, text}); }
    std::vector<Entry> entries;
};

/// A fresh directory removed with everything in it at scope exit.
class TempDir {
public:
    TempDir()
    {
        std::random_device random;
        m_path = std::filesystem::temp_directory_path()
                 / ("tellurim-engine-" + std::to_string(random()) + "-" + std::to_string(random()));
        std::filesystem::create_directories(m_path);
    }
    ~TempDir()
    {
        std::error_code error;
        std::filesystem::remove_all(m_path, error);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }

    /// Writes text byte for byte and returns the file's path as a string.
    std::string write(const std::string& name, const std::string& text) const
    {
        const std::filesystem::path file = m_path / name;
        std::ofstream out(file, std::ios::binary);
        out << text;
        return file.string();
    }

private:
    std::filesystem::path m_path;
};

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
inline std::string coefficientRecord(int n, int m, double g, double h, double gRate, double hRate)
{
    char line[128];
    std::snprintf(line, sizeof line, "%3d%3d%10.1f%10.1f%11.1f%11.1f", n, m, g, h, gRate, hRate);
    return line;
}

inline const std::string kEndRecord(48, '9');

/// The shipped model folder's copy of a model file.
inline std::string shippedModel(const std::string& name)
{
    return (std::filesystem::path{TELLURIM_MODELS_DIR} / name).string();
}

/// An engine with a shipped model loaded; fails the test if it did not load.
inline void loadShipped(ModelEngine& engine, const std::string& name)
{
    std::string path = shippedModel(name);
    engine.readModelFile(12, path);
    ASSERT_TRUE(engine.isLoaded()) << name;
}

}  // namespace tellurim::test
