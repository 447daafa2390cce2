#pragma once

#include <cstdint>
#include <limits>
#include <vector>

namespace tellurim {

/// The walk along one grid axis. Values are singles accumulated step by
/// step (start, start + inc, ...), each sum rounded to single, so they drift
/// the way stored grid files expect rather than being start + k * inc. The
/// walk goes on while the value lies below end + inc, that bound formed in
/// double from the two singles: it visits the end itself when the step
/// divides the span, one value beyond it when it does not, and sometimes one
/// more when rounding leaves the value reached at the end just below it.
class GridAxisWalk {
public:
    /// start, end, increment in degrees. An increment that is not a
    /// positive number gives no values. No value beyond ceiling is visited
    /// (latitudes stop at the pole; longitudes past 180 are still directions).
    GridAxisWalk(float start, float end, float increment,
                 float ceiling = std::numeric_limits<float>::infinity());

    /// True while value() is a point of the axis.
    bool valid() const { return m_valid; }
    float value() const { return m_value; }
    /// Steps to the next value. A step too small to change the single value
    /// ends the walk, which would otherwise never finish.
    void advance();

private:
    float m_value;
    float m_increment;
    double m_bound;
    float m_ceiling;
    bool m_valid;
};

/// Every value of one axis, in walk order.
std::vector<float> gridAxis(float start, float end, float increment);

/// The latitudes of a grid: gridAxis, but the step beyond the end never
/// goes past the pole (89 to 90 by 0.3 ends at 89.9).
std::vector<float> gridLatitudes(float start, float end, float increment);

/// The highest latitude a grid row may have, degrees.
inline constexpr float kHighestGridLatitude = 90.0f;

/// The progress position of a latitude row, in percent of the span from
/// start to end, truncated toward zero; it passes 100 for rows beyond the
/// end. 0 when start equals end.
int32_t progressPosition(float latitude, float start, float end);

}  // namespace tellurim
