// Feeds arbitrary bytes to "tellurim-cli batch" as its standard input, with
// the shipped model: every line gives a result or a message naming it, the
// run exits 0 or 1, and every result line is a whole CSV row.

#include "cli/Cli.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static std::string model = std::string(TELLURIM_MODELS_DIR) + "/WMM2025.COF";
    std::string words[] = {"tellurim-cli", "batch", "--year", "2026.5", "--with", "uncertainty,zone", "--model", model};
    char* argv[] = {words[0].data(), words[1].data(), words[2].data(), words[3].data(),
                    words[4].data(), words[5].data(), words[6].data(), words[7].data(), nullptr};
    std::istringstream in{std::string(reinterpret_cast<const char*>(data), size)};
    std::ostringstream out;
    std::ostringstream err;
    const int status = tellurim::cli::runCli(8, argv, in, out, err);
    if (status != 0 && status != 1)
        std::abort();
    const std::string text = out.str();
    if (!text.empty() && text.back() != '\n')
        std::abort();  // a result line cut short
    if (status == 1 && err.str().empty())
        std::abort();  // a bad line must be named
    return 0;
}
