#include "engine/FastAngles.h"
#include "engine/VectorClones.h"

#include <cmath>
#include <cstddef>

namespace tellurim {

namespace {

// The arctangent on [0, 1] by reduction to |t| < 7/16 around atan(1/2) and
// atan(1) (each split in a high and a low part) and an odd polynomial of
// degree 23 there; the coefficients are the classic minimax ones of the
// freely distributable fdlibm, good to under one unit in the last place.
constexpr double kAtanHigh[] = {4.63647609000806093515e-01, 7.85398163397448278999e-01,
                                9.82793723247329054082e-01, 1.57079632679489655800e+00};
constexpr double kAtanLow[] = {2.26987774529616870924e-17, 3.06161699786838301793e-17,
                               1.39033110312309984516e-17, 6.12323399573676603587e-17};
constexpr double kAtanSeries[] = {
    3.33333333333329318027e-01,  -1.99999999998764832476e-01, 1.42857142725034663711e-01,
    -1.11111104054623557880e-01, 9.09088713343650656196e-02,  -7.69187620504482999495e-02,
    6.66107313738753120669e-02,  -5.83357013379057348645e-02, 4.97687799461593236017e-02,
    -3.65315727442169155270e-02, 1.62858201153657823623e-02};
constexpr double kPi = 3.1415926535897931160e+00;
constexpr double kPiLow = 1.2246467991473531772e-16;

double atanOfPositive(double t)
{
    int id = -1;
    if (t >= 0.4375) {
        if (t < 1.1875) {
            if (t < 0.6875) {
                id = 0;
                t = (2.0 * t - 1.0) / (2.0 + t);
            } else {
                id = 1;
                t = (t - 1.0) / (t + 1.0);
            }
        } else if (t < 2.4375) {
            id = 2;
            t = (t - 1.5) / (1.0 + 1.5 * t);
        } else {
            id = 3;
            t = -1.0 / t;
        }
    }
    const double* a = kAtanSeries;
    const double z = t * t;
    const double w = z * z;
    const double s1 = z * (a[0] + w * (a[2] + w * (a[4] + w * (a[6] + w * (a[8] + w * a[10])))));
    const double s2 = w * (a[1] + w * (a[3] + w * (a[5] + w * (a[7] + w * a[9]))));
    if (id < 0)
        return t - t * (s1 + s2);
    const auto i = static_cast<unsigned>(id);
    return kAtanHigh[i] - ((t * (s1 + s2) - kAtanLow[i]) - t);
}


}  // namespace

double arcTangent2(double y, double x)
{
    const double ratio = std::fabs(y / x);
    // Zeros, infinities and NaNs, and ratios whose arctangent the series
    // would not give to the last place, are the library's.
    if (!std::isnormal(x) || !std::isnormal(y) || !(ratio > 0x1p-60 && ratio < 0x1p60))
        return std::atan2(y, x);
    const double z = atanOfPositive(ratio);
    if (x > 0.0)
        return y < 0.0 ? -z : z;
    return y < 0.0 ? (z - kPiLow) - kPi : kPi - (z - kPiLow);
}

// Four at once without branches: the smaller magnitude over the larger, then
// around atan(1) above tan(pi/8), the same series, and the quarter turns
// added back; within two units in the last place of the library's.
TELLURIM_VECTOR_CLONES
void arcTangent2Quad(const double* y, const double* x, double* angles)
{
    using Quad = double __attribute__((vector_size(32)));
    Quad vy;
    Quad vx;
    __builtin_memcpy(&vy, y, sizeof vy);
    __builtin_memcpy(&vx, x, sizeof vx);
    const Quad ay = vy < 0.0 ? -vy : vy;
    const Quad ax = vx < 0.0 ? -vx : vx;
    const auto steep = ay > ax;
    const Quad r = (steep ? ax : ay) / (steep ? ay : ax);
    for (std::size_t lane = 0; lane < 4; ++lane) {
        // Zeros, infinities, NaNs and vanishing ratios: the scalar road, which
        // hands them to the library.
        if (!std::isnormal(x[lane]) || !std::isnormal(y[lane]) || !(r[lane] > 0x1p-60)) {
            for (std::size_t each = 0; each < 4; ++each)
                angles[each] = arcTangent2(y[each], x[each]);
            return;
        }
    }
    const Quad zero = {};
    const auto above = r > 0.41421356237309503;  // tan(pi/8)
    const Quad t = above ? (r - 1.0) / (r + 1.0) : r;
    const Quad high = above ? zero + kAtanHigh[1] : zero;
    const Quad low = above ? zero + kAtanLow[1] : zero;
    const double* a = kAtanSeries;
    const Quad z = t * t;
    const Quad w = z * z;
    const Quad s1 = z * (a[0] + w * (a[2] + w * (a[4] + w * (a[6] + w * (a[8] + w * a[10])))));
    const Quad s2 = w * (a[1] + w * (a[3] + w * (a[5] + w * (a[7] + w * a[9]))));
    Quad angle = high - ((t * (s1 + s2) - low) - t);
    angle = steep ? (kAtanHigh[3] - angle) + kAtanLow[3] : angle;  // pi/2 less it
    angle = vx < 0.0 ? (kPi - angle) + kPiLow : angle;
    angle = vy < 0.0 ? -angle : angle;
    __builtin_memcpy(angles, &angle, sizeof angle);
}

}  // namespace tellurim
