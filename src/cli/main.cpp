#include "cli/Cli.h"
#include "cli/CliOutput.h"

#include <csignal>
#include <iostream>
#include <unistd.h>

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    // A reader that closes the pipe early (| head) is seen as EPIPE on a
    // write, so the program ends quietly instead of being killed part way.
    std::signal(SIGPIPE, SIG_IGN);
    // Likewise a file-size limit (ulimit -f) is a failed write to report and
    // clean up after, not a sudden end.
    std::signal(SIGXFSZ, SIG_IGN);
    // Results go through a buffer that keeps the reason of a failed write,
    // so a full disk is reported with its cause.
    tellurim::cli::FdOutputBuffer stdoutBuffer(STDOUT_FILENO, "standard output", 1 << 20);
    std::ostream out(&stdoutBuffer);
    const bool progress = ::isatty(STDERR_FILENO) == 1;
    return tellurim::cli::runCli(argc, argv, std::cin, out, std::cerr, progress, true);
}
