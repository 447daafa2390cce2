#include "grid/GridWalk.h"

#include "record/Conversions.h"

namespace tellurim {

GridAxisWalk::GridAxisWalk(float start, float end, float increment, float ceiling)
    : m_value(start),
      m_increment(increment),
      m_bound(static_cast<double>(end) + static_cast<double>(increment)),
      m_ceiling(ceiling),
      // NaN in any of the three fails these comparisons and gives no values.
      m_valid(increment > 0.0f && static_cast<double>(start) < m_bound && start <= ceiling)
{
}

void GridAxisWalk::advance()
{
    if (!m_valid) {
        return;
    }
    const float next = m_value + m_increment;
    m_valid = next != m_value && static_cast<double>(next) < m_bound && next <= m_ceiling;
    m_value = next;
}

std::vector<float> gridAxis(float start, float end, float increment)
{
    std::vector<float> values;
    for (GridAxisWalk walk(start, end, increment); walk.valid(); walk.advance()) {
        values.push_back(walk.value());
    }
    return values;
}

std::vector<float> gridLatitudes(float start, float end, float increment)
{
    std::vector<float> values;
    for (GridAxisWalk walk(start, end, increment, kHighestGridLatitude); walk.valid(); walk.advance()) {
        values.push_back(walk.value());
    }
    return values;
}

int32_t progressPosition(float latitude, float start, float end)
{
    if (end == start) {
        return 0;
    }
    const double span = static_cast<double>(end) - static_cast<double>(start);
    return truncateToInt32((static_cast<double>(latitude) - static_cast<double>(start)) * 100.0 /
                           span);
}

}  // namespace tellurim
