// Feeds arbitrary bytes to the model file reader as a .COF file, then runs
// one synthesis on whatever loaded. Neither may crash, overflow or hang.

#include "engine/FieldRow.h"
#include "engine/PoleFinder.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

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

    const tellurim::ModelLoad loaded = tellurim::loadModel(path, tellurim::kAllDegrees);
    if (const auto* model = std::get_if<std::shared_ptr<const tellurim::MagneticModel>>(&loaded)) {
        (*model)->row(2026.0f, 47.0f, 500.0f).fieldAt(-122.0f);
        (*model)->point(2027.0f, 90.0f, 10.0f, 0.0f);
    }
    return 0;
}
