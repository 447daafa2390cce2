#pragma once

#include <istream>
#include <ostream>

namespace tellurim::cli {

/// Runs tellurim-cli on its arguments (argv[0] is the program name) and
/// returns the exit status: 0 success, 1 the model, the output or a batch
/// line failed, 2 the command line was refused, 130 a grid was interrupted,
/// 141 standard output was a pipe its reader closed. Results go to out,
/// messages and warnings to err, batch input comes from in. progress: err is
/// a terminal, so a long grid may show its percentage there. catchInterrupt:
/// this is the program's own process, so a grid may take SIGINT over and
/// clean up after it.
int runCli(int argc, char** argv, std::istream& in, std::ostream& out, std::ostream& err, bool progress = false,
           bool catchInterrupt = false);

}  // namespace tellurim::cli
