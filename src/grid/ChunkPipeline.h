#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace tellurim {

/// Hands computed chunks from worker threads to the writing thread in chunk
/// order. At most `window` chunks are claimed and not yet taken, which bounds
/// the memory held however large the grid.
class ChunkPipeline {
public:
    ChunkPipeline(uint64_t chunkCount, size_t window);

    /// The next chunk for a worker; waits while the window is full. Nothing
    /// once every chunk is claimed or the run has stopped.
    std::optional<uint64_t> claim();
    /// Stores a computed chunk; bytes receives an emptied buffer to reuse.
    void deliver(uint64_t chunk, std::string& bytes);
    /// The writer's side: waits for the chunk and swaps its lines into bytes.
    /// False when the run stopped first (a worker failed).
    bool take(uint64_t chunk, std::string& bytes);
    /// A worker's failure: keeps the first, then stops the run.
    void fail(std::exception_ptr error);
    /// Ends the run: waiting workers and writer wake up, nothing more is claimed.
    void stop();
    std::exception_ptr failure();

private:
    std::mutex m_mutex;
    std::condition_variable m_space;
    std::condition_variable m_filled;
    std::vector<std::string> m_slots;
    std::vector<bool> m_ready;
    uint64_t m_chunkCount;
    uint64_t m_next = 0;
    uint64_t m_taken = 0;
    bool m_stopped = false;
    std::exception_ptr m_failure;
};

}  // namespace tellurim
