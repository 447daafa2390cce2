#pragma once

#include "workspace/EngineMessageSink.h"
#include "workspace/ModelEngine.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace tellurim {

/// Remembers every engine message instead of showing it.
class RecordingSink final : public EngineMessageSink {
public:
    struct Entry {
        bool information;
        std::string text;
    };
    void showPlainMessage(const std::string& text) override { entries.push_back({false, text}); }
    void showInformationMessage(const std::string& text) override { entries.push_back({true, text}); }
    std::vector<Entry> entries;
};

/// The shipped model folder's copy of a model file.
inline std::string shippedModel(const std::string& name = "WMM2025.COF")
{
    return std::string(TELLURIM_MODELS_DIR) + "/" + name;
}

/// Loads a shipped model; fails the test if it did not load.
inline void loadShipped(ModelEngine& engine, const std::string& name = "WMM2025.COF")
{
    std::string path = shippedModel(name);
    engine.readModelFile(kAllDegrees, path);
    ASSERT_TRUE(engine.isLoaded()) << name;
}

/// An engine with its own recording sink and a shipped model loaded.
struct ShippedEngine {
    explicit ShippedEngine(const std::string& name = "WMM2025.COF") { loadShipped(engine, name); }
    RecordingSink sink;
    ModelEngine engine{sink};
};

/// Equality of every byte of a result made of floats and 32-bit integers
/// only (no padding), so that signed zeros and NaN payloads count.
template <typename Result>
bool sameBytes(const Result& a, const Result& b)
{
    return std::memcmp(&a, &b, sizeof(Result)) == 0;
}

}  // namespace tellurim
