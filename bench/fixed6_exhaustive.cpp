// The "%f" of every single: all 2^32 bit patterns through appendSingleFixed6
// and appendFixed6 (the single widened to double), each compared byte for
// byte with the C library's snprintf("%f"). A long run, not a test:
//
//   fixed6_exhaustive [THREADS] [FIRST LAST]
//
// THREADS defaults to 2; FIRST and LAST (bit patterns, decimal or 0x hex,
// inclusive) to 0 and 0xffffffff. Exit status 0 when every pattern matched.
#include "record/NumberText.h"

#include <atomic>
#include <bit>
#include <chrono>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr uint64_t kBlock = uint64_t{1} << 20;

struct Shared {
    uint64_t first = 0;
    uint64_t end = uint64_t{1} << 32;  // one past the last pattern
    std::atomic<uint64_t> next{0};
    std::atomic<uint64_t> checked{0};
    std::atomic<uint64_t> mismatches{0};
    std::mutex printing;
};

void report(Shared& shared, uint32_t bits, const char* expected, const std::string& got, const char* which)
{
    const std::lock_guard<std::mutex> lock(shared.printing);
    std::printf("MISMATCH 0x%08" PRIx32 " (%s): snprintf \"%s\", got \"%s\"\n", bits, which, expected, got.c_str());
}

void checkBlocks(Shared& shared)
{
    char expected[128];
    std::string single;
    std::string widened;
    for (;;) {
        const uint64_t start = shared.next.fetch_add(kBlock);
        if (start >= shared.end) {
            return;
        }
        const uint64_t stop = start + kBlock < shared.end ? start + kBlock : shared.end;
        uint64_t wrong = 0;
        for (uint64_t pattern = start; pattern < stop; ++pattern) {
            const auto bits = static_cast<uint32_t>(pattern);
            const auto value = std::bit_cast<float>(bits);
            const int length = std::snprintf(expected, sizeof expected, "%f", static_cast<double>(value));
            single.clear();
            tellurim::appendSingleFixed6(single, value);
            widened.clear();
            tellurim::appendFixed6(widened, static_cast<double>(value));
            const auto size = static_cast<size_t>(length);
            if (single.size() != size || std::memcmp(single.data(), expected, size) != 0) {
                if (++wrong <= 5) {
                    report(shared, bits, expected, single, "appendSingleFixed6");
                }
            }
            if (widened.size() != size || std::memcmp(widened.data(), expected, size) != 0) {
                if (++wrong <= 5) {
                    report(shared, bits, expected, widened, "appendFixed6");
                }
            }
        }
        shared.mismatches += wrong;
        const uint64_t done = shared.checked += stop - start;
        if (done % (kBlock * 256) < stop - start) {
            std::fprintf(stderr, "%" PRIu64 " of %" PRIu64 " checked\n", done, shared.end - shared.first);
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    Shared shared;
    const unsigned threads = argc > 1 ? static_cast<unsigned>(std::strtoul(argv[1], nullptr, 0)) : 2U;
    if (argc > 3) {
        shared.first = std::strtoull(argv[2], nullptr, 0);
        shared.end = std::strtoull(argv[3], nullptr, 0) + 1;
    }
    if (threads < 1 || threads > 64 || shared.first >= shared.end || shared.end > (uint64_t{1} << 32)) {
        std::fprintf(stderr, "usage: fixed6_exhaustive [THREADS 1-64] [FIRST LAST]\n");
        return 2;
    }
    shared.next = shared.first;
    const auto started = std::chrono::steady_clock::now();
    std::vector<std::thread> workers;
    for (unsigned i = 0; i < threads; ++i) {
        workers.emplace_back(checkBlocks, std::ref(shared));
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;
    std::printf("%" PRIu64 " bit patterns 0x%08" PRIx64 "-0x%08" PRIx64 " checked on %u threads in %.0f s: %" PRIu64
                " mismatches\n",
                shared.checked.load(), shared.first, shared.end - 1, threads, elapsed.count(),
                shared.mismatches.load());
    return shared.mismatches == 0 ? 0 : 1;
}
