#include "engine/FieldSums.h"
#include "engine/VectorClones.h"

#include "engine/EngineConstants.h"

#include <algorithm>
#include <cmath>

namespace tellurim {

namespace {

// The stored tables and the results are single precision; the arithmetic in
// between is carried in double, which keeps the sums of 90 terms well inside
// the model's own 0.1 nT resolution at no measurable cost.
using Real = double;

constexpr Real wide(float value) { return static_cast<Real>(value); }
constexpr float narrow(Real value) { return static_cast<float>(value); }

// A coefficient pair (g, h), or a pair of sums, side by side.
using Pair = double __attribute__((vector_size(16)));

TELLURIM_VECTOR_CLONES
void fillWeights(const MagneticModel& model, const CoefficientTable& P, const CoefficientTable& DP, float radius,
                 double* w)
{
    const auto maxDegree = static_cast<std::size_t>(model.degree());
    // (RE/r)^(n+2) at [n]; the weights of degree 0 are 0.
    std::array<Real, kMaxAnyModelDegree + 1> ar;  // NOLINT: filled to maxDegree below
    const Real aor = wide(kReferenceRadius) / wide(radius);
    Real power = aor * aor;
    ar[0] = 0.0;
    for (std::size_t n = 1; n <= maxDegree; ++n) {
        power *= aor;
        ar[n] = power;
    }
    const std::size_t size = P.size();
    const float* pTable = P[0];
    const float* dpTable = DP[0];
    const float* degreeFactor = model.degreeFactor().data();
    for (std::size_t m = 0; m <= maxDegree; ++m) {
        for (std::size_t n = m; n <= maxDegree; ++n, w += 3) {
            const Real p = wide(pTable[n * size + m]);
            w[0] = ar[n] * wide(dpTable[n * size + m]);
            w[1] = wide(degreeFactor[n]) * ar[n] * p;
            w[2] = ar[n] * p;
        }
    }
}

TELLURIM_VECTOR_CLONES
void fillOrderSums(const MagneticModel& model, const float* pairs, const double* weights, double* sumTerms)
{
    const auto maxDegree = static_cast<std::size_t>(model.degree());
    for (std::size_t m = 0; m <= maxDegree; ++m) {
        const std::size_t first = orderIndex(m, maxDegree);
        const float* gh = pairs + 2 * first;
        const double* w = weights + 3 * first;
        // (g, h) side by side, in two interleaved sets of degrees so that
        // consecutive terms do not wait for each other.
        Pair t0 = {}, t1 = {}, r0 = {}, r1 = {}, q0 = {}, q1 = {};
        const std::size_t terms = maxDegree - m + 1;
        std::size_t j = 0;
        for (; j + 1 < terms; j += 2) {
            const Pair v0 = {wide(gh[2 * j]), wide(gh[2 * j + 1])};
            const Pair v1 = {wide(gh[2 * j + 2]), wide(gh[2 * j + 3])};
            t0 += v0 * w[3 * j];
            r0 += v0 * w[3 * j + 1];
            q0 += v0 * w[3 * j + 2];
            t1 += v1 * w[3 * j + 3];
            r1 += v1 * w[3 * j + 4];
            q1 += v1 * w[3 * j + 5];
        }
        if (j < terms) {
            const Pair v0 = {wide(gh[2 * j]), wide(gh[2 * j + 1])};
            t0 += v0 * w[3 * j];
            r0 += v0 * w[3 * j + 1];
            q0 += v0 * w[3 * j + 2];
        }
        const Pair tSum = t0 + t1;
        const Pair rSum = r0 + r1;
        const Pair qSum = q0 + q1;
        const Real order = wide(model.orderFactor()[m]);
        double* out = sumTerms + 6 * m;
        out[0] = -tSum[0];
        out[1] = -tSum[1];
        out[2] = rSum[0];
        out[3] = rSum[1];
        out[4] = order * qSum[0];
        out[5] = -(order * qSum[1]);
    }
}

}  // namespace

std::vector<double> orderWeights(const MagneticModel& model, const CoefficientTable& P, const CoefficientTable& DP,
                                 float radius)
{
    const auto maxDegree = static_cast<std::size_t>(model.degree());
    std::vector<double> weights(3 * orderIndex(maxDegree + 1, maxDegree));
    fillWeights(model, P, DP, radius, weights.data());
    return weights;
}

OrderSums formOrderSums(const MagneticModel& model, const std::vector<float>& pairs,
                        const std::vector<double>& weights, float radius)
{
    OrderSums sums;
    sums.terms.assign(6 * (static_cast<std::size_t>(model.degree()) + 1), 0.0);
    sums.aor = wide(kReferenceRadius) / wide(radius);
    fillOrderSums(model, pairs.data(), weights.data(), sums.terms.data());
    return sums;
}

namespace {

// Four lanes side by side in vector registers (two halves each without
// AVX); each lane takes exactly the operations of a single longitude.
using Quad = double __attribute__((vector_size(32)));
using QuadSingles = float __attribute__((vector_size(16)));
constexpr std::size_t kQuad = 4;
static_assert(kLongitudeLanes % kQuad == 0);

// (Vectors pass by reference: by value their ABI would depend on AVX.)
void roundToSingle(Quad& value)
{
    value = __builtin_convertvector(__builtin_convertvector(value, QuadSingles), Quad);
}

void load(Quad& value, const double* at) { __builtin_memcpy(&value, at, sizeof value); }

void store(double* at, const Quad& value) { __builtin_memcpy(at, &value, sizeof value); }

// The multiple-angle recursion of eight lanes, from their sin and cos: two
// groups of four, whose chains of roundings interleave.
TELLURIM_VECTOR_CLONES
void longitudeOctet(const double* sin1, const double* cos1, std::size_t maxDegree, double* sinm, double* cosm)
{
    static_assert(kLongitudeLanes == 2 * kQuad);
    Quad s1[2];
    Quad c1[2];
    for (std::size_t g = 0; g < 2; ++g) {
        load(s1[g], sin1 + g * kQuad);
        load(c1[g], cos1 + g * kQuad);
    }
    Quad sp0 = s1[0], sp1 = s1[1], cp0 = c1[0], cp1 = c1[1];
    for (std::size_t m = 2; m <= maxDegree; ++m) {
        Quad s0 = s1[0] * cp0 + c1[0] * sp0;
        Quad s4 = s1[1] * cp1 + c1[1] * sp1;
        cp0 = c1[0] * cp0 - s1[0] * sp0;
        cp1 = c1[1] * cp1 - s1[1] * sp1;
        roundToSingle(s0);
        roundToSingle(s4);
        roundToSingle(cp0);
        roundToSingle(cp1);
        sp0 = s0;
        sp1 = s4;
        double* s = sinm + m * kLongitudeLanes;
        double* c = cosm + m * kLongitudeLanes;
        store(s, sp0);
        store(s + kQuad, sp1);
        store(c, cp0);
        store(c + kQuad, cp1);
    }
}

}  // namespace

template <std::size_t Lanes>
void longitudeLanes(const float* longitudes, std::size_t maxDegree, LaneAngles& angles)
{
    // Every value is a single widened.
    double* cosm = angles.cosm.data();
    double* sinm = angles.sinm.data();
    std::array<Real, Lanes> s1{};
    std::array<Real, Lanes> c1{};
    for (std::size_t lane = 0; lane < Lanes; ++lane) {
        const Real lambda = wide(longitudes[lane]) * wide(kDegToRad);
        s1[lane] = wide(narrow(std::sin(lambda)));
        c1[lane] = wide(narrow(std::cos(lambda)));
        cosm[lane] = 1.0;
        sinm[lane] = 0.0;
        if (maxDegree >= 1) {
            cosm[Lanes + lane] = c1[lane];
            sinm[Lanes + lane] = s1[lane];
        }
    }
    if constexpr (Lanes == kLongitudeLanes) {
        longitudeOctet(s1.data(), c1.data(), maxDegree, sinm, cosm);
    } else {
        std::array<Real, Lanes> sp = s1;
        std::array<Real, Lanes> cp = c1;
        for (std::size_t m = 2; m <= maxDegree; ++m) {
            for (std::size_t lane = 0; lane < Lanes; ++lane) {
                const Real s = wide(narrow(s1[lane] * cp[lane] + c1[lane] * sp[lane]));
                cp[lane] = wide(narrow(c1[lane] * cp[lane] - s1[lane] * sp[lane]));
                sp[lane] = s;
                sinm[m * Lanes + lane] = sp[lane];
                cosm[m * Lanes + lane] = cp[lane];
            }
        }
    }
}

namespace {

// The Fourier series of eight lanes, two groups of four side by side.
TELLURIM_VECTOR_CLONES
void sumOctet(const OrderSums& sums, std::size_t maxDegree, const double* cosm, const double* sinm,
              LaneField& field)
{
    Quad bt0 = {}, bt1 = {}, bp0 = {}, bp1 = {}, br0 = {}, br1 = {};
    for (std::size_t m = 0; m <= maxDegree; ++m) {
        const double* t = sums.terms.data() + 6 * m;
        Quad c0, c1, s0, s1;
        load(c0, cosm + m * kLongitudeLanes);
        load(c1, cosm + m * kLongitudeLanes + kQuad);
        load(s0, sinm + m * kLongitudeLanes);
        load(s1, sinm + m * kLongitudeLanes + kQuad);
        bt0 += t[0] * c0 + t[1] * s0;
        bt1 += t[0] * c1 + t[1] * s1;
        br0 += t[2] * c0 + t[3] * s0;
        br1 += t[2] * c1 + t[3] * s1;
        bp0 += t[4] * s0 + t[5] * c0;
        bp1 += t[4] * s1 + t[5] * c1;
    }
    store(&field.bt[0], bt0);
    store(&field.bt[kQuad], bt1);
    store(&field.bp[0], bp0);
    store(&field.bp[kQuad], bp1);
    store(&field.br[0], br0);
    store(&field.br[kQuad], br1);
}

}  // namespace

template <std::size_t Lanes>
void sumLanes(const OrderSums& sums, const LaneAngles& angles, std::size_t maxDegree, LaneField& field)
{
    const double* cosm = angles.cosm.data();
    const double* sinm = angles.sinm.data();
    if constexpr (Lanes == kLongitudeLanes) {
        sumOctet(sums, maxDegree, cosm, sinm, field);
    } else {
        std::array<Real, Lanes> bt{};
        std::array<Real, Lanes> bp{};
        std::array<Real, Lanes> br{};
        for (std::size_t m = 0; m <= maxDegree; ++m) {
            const double* t = sums.terms.data() + 6 * m;
            for (std::size_t lane = 0; lane < Lanes; ++lane) {
                const Real cm = cosm[m * Lanes + lane];
                const Real sm = sinm[m * Lanes + lane];
                bt[lane] += t[0] * cm + t[1] * sm;
                br[lane] += t[2] * cm + t[3] * sm;
                bp[lane] += t[4] * sm + t[5] * cm;
            }
        }
        for (std::size_t lane = 0; lane < Lanes; ++lane) {
            field.bt[lane] = bt[lane];
            field.bp[lane] = bp[lane];
            field.br[lane] = br[lane];
        }
    }
}

template void longitudeLanes<1>(const float*, std::size_t, LaneAngles&);
template void longitudeLanes<kLongitudeLanes>(const float*, std::size_t, LaneAngles&);
template void sumLanes<1>(const OrderSums&, const LaneAngles&, std::size_t, LaneField&);
template void sumLanes<kLongitudeLanes>(const OrderSums&, const LaneAngles&, std::size_t, LaneField&);

DegreeTable poleFunctions(const MagneticModel& model, float CT)
{
    const auto maxDegree = static_cast<std::size_t>(model.degree());
    DegreeTable PP(maxDegree + 1, 0.0f);
    PP[0] = 1.0f;
    for (std::size_t n = 1; n <= maxDegree; ++n) {
        if (n == 1)
            PP[1] = PP[0];
        else
            PP[n] = narrow(wide(model.recursionScale()[n][1]) * wide(CT) * wide(PP[n - 1])
                           - wide(model.legendreFactor()[n][1]) * wide(PP[n - 2]));
    }
    return PP;
}

double poleEastComponent(const MagneticModel& model, const DegreeTable& PP, const std::vector<float>& pairs,
                         double cos1, double sin1, double aor)
{
    const auto maxDegree = static_cast<std::size_t>(model.degree());
    // g(n,1) and h(n,1) from n = 1 on.
    const float* order1 = pairs.data() + 2 * orderIndex(1, maxDegree);
    Real bpp = 0.0;
    Real arPole = aor * aor;
    for (std::size_t n = 1; n <= maxDegree; ++n) {
        arPole *= aor;
        const Real t2 = wide(order1[2 * (n - 1)]) * sin1 - wide(order1[2 * (n - 1) + 1]) * cos1;
        bpp += wide(model.orderFactor()[1]) * t2 * arPole * wide(PP[n]);
    }
    return bpp;
}

}  // namespace tellurim
