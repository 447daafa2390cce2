#include "files/WriteAll.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <string>
#include <sys/time.h>
#include <thread>
#include <unistd.h>

namespace tellurim {
namespace {

void onAlarm(int) {}

TEST(WriteAll, ContinuesShortAndInterruptedWritesToTheLastByte)
{
    // A slow reader on a pipe and a timer signal without SA_RESTART: the
    // writes come back short or interrupted many times.
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    std::string bytes(4 << 20, '\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7 + i / 4096);
    std::string received;
    std::thread reader([&] {
        char chunk[1000];
        ssize_t got = 0;
        while ((got = ::read(fds[0], chunk, sizeof chunk)) != 0) {
            if (got > 0)
                received.append(chunk, static_cast<size_t>(got));
            if (received.size() % 50000 < 1000)
                std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    struct sigaction action {}, previous {};
    action.sa_handler = onAlarm;
    ::sigaction(SIGALRM, &action, &previous);
    const itimerval every{{0, 500}, {0, 500}};
    ::setitimer(ITIMER_REAL, &every, nullptr);
    const auto error = writeAll(fds[1], bytes, "pipe");
    const itimerval stop{};
    ::setitimer(ITIMER_REAL, &stop, nullptr);
    ::sigaction(SIGALRM, &previous, nullptr);
    ::close(fds[1]);
    reader.join();
    ::close(fds[0]);
    EXPECT_FALSE(error.has_value());
    EXPECT_TRUE(received == bytes) << received.size() << " of " << bytes.size() << " bytes arrived";
}

TEST(WriteAll, ReportsAFullDiskAndAClosedDescriptor)
{
    const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    if (full < 0)
        GTEST_SKIP() << "no /dev/full";
    const auto error = writeAll(full, "abc", "full.csv");
    ::close(full);
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->cause, FileCause::DiskFull);
    EXPECT_EQ(error->osError, ENOSPC);
    EXPECT_EQ(error->fileName, "full.csv");
    const auto closed = writeAll(full, "abc", "gone");
    ASSERT_TRUE(closed.has_value());
    EXPECT_EQ(closed->cause, FileCause::InvalidFile);
    EXPECT_FALSE(writeAll(full, "", "nothing").has_value());
}

}  // namespace
}  // namespace tellurim
