// The window program ended by SIGTERM: its exit status tells whether the
// settings were kept, since nobody is left to read a message box.
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>

#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tellurim {
namespace {

struct WindowRun {
    pid_t pid = -1;
    int output = -1;
};

WindowRun startWindow(const std::filesystem::path& configHome)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    std::string config = "XDG_CONFIG_HOME=" + configHome.string();
    std::string path = TELLURIM_GUI_PATH;
    char* argv[] = {path.data(), nullptr};
    std::string platform = "QT_QPA_PLATFORM=offscreen";
    std::string announce = "TELLURIM_EXIT_AFTER_FIRST_PAINT=announce";
    std::string home = "HOME=" + configHome.parent_path().string();
    char* envp[] = {platform.data(), announce.data(), config.data(), home.data(), nullptr};
    WindowRun run;
    if (posix_spawn(&run.pid, path.c_str(), &actions, nullptr, argv, envp) != 0)
        run.pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    run.output = pipeFds[0];
    return run;
}

// Waits for the window's first paint (its signal handlers are in place by
// then), sends SIGTERM and returns the exit status, or -1.
int terminateAfterFirstPaint(const WindowRun& run)
{
    std::string seen;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (seen.find("first paint") == std::string::npos &&
           std::chrono::steady_clock::now() < deadline) {
        pollfd ready{run.output, POLLIN, 0};
        if (::poll(&ready, 1, 200) > 0) {
            char buffer[256];
            const ssize_t got = ::read(run.output, buffer, sizeof buffer);
            if (got <= 0)
                break;
            seen.append(buffer, static_cast<size_t>(got));
        }
    }
    ::kill(run.pid, seen.find("first paint") != std::string::npos ? SIGTERM : SIGKILL);
    int status = 0;
    ::waitpid(run.pid, &status, 0);
    ::close(run.output);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(WindowProgramSignals, SigtermKeepsTheSettingsAndExitsZero)
{
    TempDir folder;
    const WindowRun run = startWindow(folder.path() / "config");
    ASSERT_GT(run.pid, 0);
    EXPECT_EQ(terminateAfterFirstPaint(run), 0);
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "config" / "Tellurim" / "Tellurim.INI"));
}

TEST(WindowProgramSignals, SigtermWithSettingsThatCannotBeSavedExitsOne)
{
    TempDir folder;
    // A file where the settings folder should be: the save must fail.
    std::ofstream(folder.path() / "config") << "not a folder";
    const WindowRun run = startWindow(folder.path() / "config");
    ASSERT_GT(run.pid, 0);
    EXPECT_EQ(terminateAfterFirstPaint(run), 1);
}

}  // namespace
}  // namespace tellurim
