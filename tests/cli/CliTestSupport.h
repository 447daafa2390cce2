#pragma once

#include "cli/Cli.h"
#include "support/EngineSupport.h"
#include "support/TestEnvironment.h"
#include "support/TestText.h"

#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace tellurim::cli {

/// Runs the program in-process with the given arguments (the program name
/// is added) and standard input; returns its status.
inline int runCliWith(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                      const std::string& input = {}, bool progress = false)
{
    std::vector<std::string> storage{"tellurim-cli"};
    storage.insert(storage.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& arg : storage)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::istringstream in(input);
    return runCli(static_cast<int>(storage.size()), argv.data(), in, out, err, progress);
}

/// What one in-process run of the program gave.
struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

inline CliRun runWith(const std::vector<std::string>& args, const std::string& input = {})
{
    std::ostringstream out, err;
    CliRun run;
    run.status = runCliWith(args, out, err, input);
    run.out = out.str();
    run.err = err.str();
    return run;
}

inline std::string modelPath()
{
    return shippedModel("WMM2025.COF");
}

}  // namespace tellurim::cli
