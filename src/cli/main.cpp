#include "cli/Cli.h"
#include "cli/CliOutput.h"

#include <iostream>
#include <unistd.h>

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    // Results go through a buffer that keeps the reason of a failed write,
    // so a full disk is reported with its cause code.
    tellurim::cli::FdOutputBuffer stdoutBuffer(STDOUT_FILENO, "standard output", 1 << 20);
    std::ostream out(&stdoutBuffer);
    const bool progress = ::isatty(STDERR_FILENO) == 1;
    return tellurim::cli::runCli(argc, argv, std::cin, out, std::cerr, progress);
}
