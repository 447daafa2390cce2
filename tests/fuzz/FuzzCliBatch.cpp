// Feeds arbitrary command lines to the command-line calculator: the bytes up
// to the first zero byte are the arguments, one a line; the rest is standard
// input, which batch reads. Grids are left out (their size alone decides how
// long they run; the grid producer has its own tests), and so is --output,
// so that no run writes a file. A refused command line must exit 2 with a
// message; nothing may crash or hang.

#include "cli/Cli.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const size_t split = bytes.find('\0');
    const std::string_view arguments = bytes.substr(0, split);
    const std::string_view input = split == std::string_view::npos ? std::string_view() : bytes.substr(split + 1);

    std::vector<std::string> words{"tellurim-cli"};
    size_t start = 0;
    while (start <= arguments.size() && words.size() < 32) {
        const size_t end = std::min(arguments.find('\n', start), arguments.size());
        const std::string word(arguments.substr(start, end - start));
        if (word.rfind("--output", 0) == 0 || word == "grid")
            return 0;
        words.push_back(word);
        start = end + 1;
    }
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    std::istringstream in{std::string(input)};
    std::ostringstream out;
    std::ostringstream err;
    const int status = tellurim::cli::runCli(static_cast<int>(words.size()), argv.data(), in, out, err);
    if (status == 2 && err.str().empty())
        std::abort();  // a refused command line must say why
    if (status != 0 && status != 1 && status != 2)
        std::abort();  // no grid runs here, so nothing is interrupted
    return 0;
}
