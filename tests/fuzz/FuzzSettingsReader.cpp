// Feeds arbitrary bytes to the settings reader as the settings file. What
// was read must write a text that reads back to the same values, so that
// writing it again gives the same text.

#include "workspace/SettingsFile.h"

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
    return std::string{directory ? directory : "/tmp"} + "/tellurim-fuzz-settings-" +
           std::to_string(getpid()) + ".INI";
}

bool writeFile(const std::string& path, const void* data, size_t size)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = scratchFile();
    if (!writeFile(path, data, size))
        return 0;
    const tellurim::Settings first = tellurim::readSettings(path);
    const std::string text = tellurim::settingsText(first.location, first.grid);
    if (!writeFile(path, text.data(), text.size()))
        return 0;
    const tellurim::Settings second = tellurim::readSettings(path);
    if (tellurim::settingsText(second.location, second.grid) != text)
        std::abort();  // the written settings read back differently
    return 0;
}
