// Feeds arbitrary bytes to the model file reader as a .COF file, then runs
// one synthesis on whatever loaded. Neither may crash, overflow or hang.

#include "engine/ModelEngine.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

class SilentSink : public tellurim::EngineMessageSink {
public:
    void showPlainMessage(const std::string&) override {}
    void showInformationMessage(const std::string&) override {}
};

std::string scratchFile()
{
    const char* directory = std::getenv("TMPDIR");
    return std::string{directory ? directory : "/tmp"} + "/tellurim-fuzz-model-"
           + std::to_string(getpid()) + ".COF";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = scratchFile();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return 0;
    const bool written = std::fwrite(data, 1, size, file) == size;
    std::fclose(file);
    if (!written)
        return 0;

    SilentSink sink;
    tellurim::ModelEngine engine{sink};
    std::string name = path;
    engine.readModelFile(tellurim::kAllDegrees, name);
    tellurim::FieldAtTime out;
    engine.synthesize(0.5f, 47.0f, -122.0f, 2026.0f, out);
    engine.computePoint(0.0f, 90.0f, 10.0f, 2027.0f);
    return 0;
}
