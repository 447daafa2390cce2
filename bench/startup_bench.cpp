// Start-up time of the desktop program: from starting the process to the
// first paint of the main window (the program reports that moment itself
// and quits when TELLURIM_EXIT_AFTER_FIRST_PAINT=1), run on the offscreen
// platform with settings in a temporary folder.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

struct Run {
    bool ok = false;
    double wallMs = 0.0;        ///< spawn to exit
    double firstPaintMs = 0.0;  ///< as the program measured it
};

Run runOnce(const std::string& configHome)
{
    Run run;
#ifdef TELLURIM_GUI_PATH
    int out[2];
    if (::pipe(out) != 0)
        return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

    std::string env1 = "QT_QPA_PLATFORM=offscreen";
    std::string env2 = "TELLURIM_EXIT_AFTER_FIRST_PAINT=1";
    std::string env3 = "XDG_CONFIG_HOME=" + configHome;
    std::string env4 = "XDG_RUNTIME_DIR=" + configHome;
    std::string env5 = std::string("PATH=") + (std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin");
    char* envp[] = {env1.data(), env2.data(), env3.data(), env4.data(), env5.data(), nullptr};
    std::string program = TELLURIM_GUI_PATH;
    char* argv[] = {program.data(), nullptr};

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (spawned != 0) {
        ::close(out[0]);
        return run;
    }
    std::string output;
    char buffer[256];
    ssize_t n = 0;
    while ((n = ::read(out[0], buffer, sizeof buffer)) > 0)
        output.append(buffer, static_cast<std::size_t>(n));
    ::close(out[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    run.wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
             std::sscanf(output.c_str(), "first paint after %lf ms", &run.firstPaintMs) == 1;
#else
    static_cast<void>(configHome);
#endif
    return run;
}

void BM_StartToFirstPaint(benchmark::State& state)
{
    const std::filesystem::path config =
        std::filesystem::temp_directory_path() / ("tellurim-startup-" + std::to_string(::getpid()));
    std::filesystem::create_directories(config);
    double firstPaintTotal = 0.0;
    double worst = 0.0;
    int runs = 0;
    for (auto _ : state) {
        const Run run = runOnce(config.string());
        if (!run.ok) {
            state.SkipWithError("the program did not report its first paint");
            break;
        }
        state.SetIterationTime(run.wallMs / 1000.0);
        firstPaintTotal += run.firstPaintMs;
        worst = std::max(worst, run.firstPaintMs);
        ++runs;
    }
    if (runs > 0) {
        state.counters["first_paint_ms"] = firstPaintTotal / runs;
        state.counters["worst_first_paint_ms"] = worst;
    }
    std::filesystem::remove_all(config);
}
BENCHMARK(BM_StartToFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

BENCHMARK_MAIN();
