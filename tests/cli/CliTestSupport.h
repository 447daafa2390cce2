#pragma once

#include "cli/Cli.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace tellurim::cli::testing {

/// What one in-process run of the program gave.
struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

inline CliRun runWith(const std::vector<std::string>& args, const std::string& input = {})
{
    std::vector<std::string> storage;
    storage.reserve(args.size() + 1);
    storage.emplace_back("tellurim-cli");
    storage.insert(storage.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& arg : storage) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    CliRun run;
    run.status = runCli(static_cast<int>(storage.size()), argv.data(), in, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

inline std::string modelPath(const char* name = "WMM2025.COF")
{
    return std::string(TELLURIM_MODELS_DIR) + "/" + name;
}

/// A fresh directory under the system's temporary folder, removed afterwards.
class TempDir {
public:
    TempDir()
    {
        static std::atomic<int> counter{0};
        m_path = std::filesystem::temp_directory_path() /
                 ("tellurim-cli-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::filesystem::path file(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

inline std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void writeFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

/// Splits CR LF terminated lines; a missing final CR LF leaves the rest as a last line.
inline std::vector<std::string> crlfLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = text.find("\r\n", at);
        if (end == std::string::npos) {
            lines.push_back(text.substr(at));
            break;
        }
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

}  // namespace tellurim::cli::testing
