#include "grid/ChunkPipeline.h"

#include <algorithm>
#include <utility>

namespace tellurim {

ChunkPipeline::ChunkPipeline(uint64_t chunkCount, size_t window)
    : m_slots(std::max<size_t>(1, window)), m_ready(m_slots.size(), false), m_chunkCount(chunkCount)
{
}

std::optional<uint64_t> ChunkPipeline::claim()
{
    std::unique_lock lock(m_mutex);
    m_space.wait(lock, [&] { return m_stopped || m_next >= m_chunkCount || m_next < m_taken + m_slots.size(); });
    if (m_stopped || m_next >= m_chunkCount) {
        return std::nullopt;
    }
    return m_next++;
}

void ChunkPipeline::deliver(uint64_t chunk, std::string& bytes)
{
    {
        std::lock_guard lock(m_mutex);
        const size_t slot = static_cast<size_t>(chunk % m_slots.size());
        m_slots[slot].swap(bytes);
        m_ready[slot] = true;
    }
    m_filled.notify_all();
    bytes.clear();
}

bool ChunkPipeline::take(uint64_t chunk, std::string& bytes)
{
    {
        std::unique_lock lock(m_mutex);
        const size_t slot = static_cast<size_t>(chunk % m_slots.size());
        m_filled.wait(lock, [&] { return m_stopped || m_ready[slot]; });
        if (!m_ready[slot]) {
            return false;
        }
        bytes.clear();
        m_slots[slot].swap(bytes);
        m_ready[slot] = false;
        ++m_taken;
    }
    m_space.notify_all();
    return true;
}

void ChunkPipeline::fail(std::exception_ptr error)
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_failure) {
            m_failure = std::move(error);
        }
    }
    stop();
}

void ChunkPipeline::stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopped = true;
    }
    m_space.notify_all();
    m_filled.notify_all();
}

std::exception_ptr ChunkPipeline::failure()
{
    std::lock_guard lock(m_mutex);
    return m_failure;
}

}  // namespace tellurim
