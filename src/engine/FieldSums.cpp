#include "engine/FieldSums.h"

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

// The coefficient set in force at the time: a model given at several epochs
// runs linearly from each epoch to the next, and on from the last one.
struct EpochInForce {
    const CoefficientTable* gh;
    const CoefficientTable* ghRate;
    float dt;
};

EpochInForce epochInForce(const MagneticModel& model, float time, float dt)
{
    EpochInForce inForce{&model.gh, &model.ghRate, dt};
    for (const EpochCoefficients& later : model.laterEpochs) {
        if (!(time >= later.epoch))
            break;
        inForce = {&later.gh, &later.ghRate, time - later.epoch};
    }
    return inForce;
}

using Pair = double __attribute__((vector_size(16)));

std::size_t degreeOf(const MagneticModel& model, const CoefficientTable& table)
{
    return std::min(static_cast<std::size_t>(model.maxDegree), table.size() - 1);
}

// TC[slot] into TCPairs[slot] for the degrees up to `last`.
void fillPairs(const MagneticModel& model, SynthesisCache& c, std::size_t slot, std::size_t last)
{
    const CoefficientTable& tc = c.TC[slot];
    const std::size_t maxDegree = degreeOf(model, tc);
    last = std::min(last, maxDegree);
    float* pairs = c.TCPairs[slot].data();
    for (std::size_t m = 0; m <= last; ++m) {
        float* at = pairs + 2 * SynthesisCache::orderIndex(m, maxDegree);
        for (std::size_t n = m; n <= last; ++n) {
            at[2 * (n - m)] = tc[m][n];
            at[2 * (n - m) + 1] = m == 0 ? 0.0f : tc[n][m - 1];
        }
    }
}

// The weights of the order sums at the cached position.
void formWeights(const MagneticModel& model, SynthesisCache& c, std::size_t maxDegree)
{
    // (RE/r)^(n+2) at [n]; the weights of degree 0 are 0.
    std::array<Real, kMaxAnyModelDegree + 1> ar;  // NOLINT: filled to maxDegree below
    const Real aor = wide(kReferenceRadius) / wide(c.R);
    Real power = aor * aor;
    ar[0] = 0.0;
    for (std::size_t n = 1; n <= maxDegree; ++n) {
        power *= aor;
        ar[n] = power;
    }
    const std::size_t size = c.P.size();
    const float* pTable = c.P[0];
    const float* dpTable = c.DP[0];
    const float* degreeFactor = model.degreeFactor.data();
    double* w = c.weights.data();
    for (std::size_t m = 0; m <= maxDegree; ++m) {
        for (std::size_t n = m; n <= maxDegree; ++n, w += 3) {
            const Real p = wide(pTable[n * size + m]);
            w[0] = ar[n] * wide(dpTable[n * size + m]);
            w[1] = wide(degreeFactor[n]) * ar[n] * p;
            w[2] = ar[n] * p;
        }
    }
    c.weightsValid = true;
}

}  // namespace

std::size_t selectTimeCoefficients(const MagneticModel& model, SynthesisCache& c, float time, float dt)
{
    if (c.TCTime[c.currentTC] == time)
        return c.currentTC;
    const std::size_t other = 1 - c.currentTC;
    c.currentTC = other;
    if (c.TCTime[other] == time)
        return other;
    CoefficientTable& tc = c.TC[other];
    const EpochInForce inForce = epochInForce(model, time, dt);
    const CoefficientTable& gh = *inForce.gh;
    const CoefficientTable& rate = *inForce.ghRate;
    const Real years = wide(inForce.dt);
    // Rows and columns 0 to the changing degree hold every g and h of those
    // degrees (and the unused g(0,0)); beyond it the slots keep the epoch's
    // coefficients they were given at the load.
    const auto last = static_cast<std::size_t>(std::min(model.rateDegree, model.maxDegree));
    for (std::size_t row = 0; row <= last; ++row) {
        const float* g = gh[row];
        const float* r = rate[row];
        float* t = tc[row];
        for (std::size_t column = 0; column <= last; ++column)
            t[column] = narrow(wide(g[column]) + years * wide(r[column]));
    }
    c.TCTime[other] = time;
    fillPairs(model, c, other, c.pairsFilled[other] ? last : static_cast<std::size_t>(model.maxDegree));
    c.pairsFilled[other] = true;
    c.orderSums[other].valid = false;
    return other;
}

void formOrderSums(const MagneticModel& model, SynthesisCache& c, std::size_t slot)
{
    OrderSums& sums = c.orderSums[slot];
    if (sums.valid)
        return;
    const std::size_t maxDegree = degreeOf(model, c.TC[slot]);
    if (!c.weightsValid)
        formWeights(model, c, maxDegree);
    sums.aor = wide(kReferenceRadius) / wide(c.R);
    const float* pairs = c.TCPairs[slot].data();
    const double* weights = c.weights.data();
    for (std::size_t m = 0; m <= maxDegree; ++m) {
        const std::size_t first = SynthesisCache::orderIndex(m, maxDegree);
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
        const Real order = wide(model.orderFactor[m]);
        double* out = sums.terms.data() + 6 * m;
        out[0] = -tSum[0];
        out[1] = -tSum[1];
        out[2] = rSum[0];
        out[3] = rSum[1];
        out[4] = order * qSum[0];
        out[5] = -(order * qSum[1]);
    }
    sums.valid = true;
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
void longitudeLanes(const float* longitudes, std::size_t maxDegree, SynthesisCache& c)
{
    // Every value is a single widened.
    double* cosm = c.laneCos.data();
    double* sinm = c.laneSin.data();
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

// The Fourier series of four lanes.
void sumQuad(const OrderSums& sums, std::size_t maxDegree, std::size_t stride, const double* cosm,
             const double* sinm, LaneField& field, std::size_t first)
{
    Quad bt = {};
    Quad bp = {};
    Quad br = {};
    for (std::size_t m = 0; m <= maxDegree; ++m) {
        const double* t = sums.terms.data() + 6 * m;
        Quad cm;
        Quad sm;
        load(cm, cosm + m * stride);
        load(sm, sinm + m * stride);
        bt += t[0] * cm + t[1] * sm;
        br += t[2] * cm + t[3] * sm;
        bp += t[4] * sm + t[5] * cm;
    }
    store(&field.bt[first], bt);
    store(&field.bp[first], bp);
    store(&field.br[first], br);
}

}  // namespace

template <std::size_t Lanes>
void sumLanes(const OrderSums& sums, const SynthesisCache& c, std::size_t maxDegree, LaneField& field)
{
    const double* cosm = c.laneCos.data();
    const double* sinm = c.laneSin.data();
    if constexpr (Lanes % kQuad == 0) {
        for (std::size_t first = 0; first < Lanes; first += kQuad)
            sumQuad(sums, maxDegree, Lanes, cosm + first, sinm + first, field, first);
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

template void longitudeLanes<1>(const float*, std::size_t, SynthesisCache&);
template void longitudeLanes<kLongitudeLanes>(const float*, std::size_t, SynthesisCache&);
template void sumLanes<1>(const OrderSums&, const SynthesisCache&, std::size_t, LaneField&);
template void sumLanes<kLongitudeLanes>(const OrderSums&, const SynthesisCache&, std::size_t, LaneField&);

double poleEastComponent(const MagneticModel& model, SynthesisCache& c, const CoefficientTable& tc,
                         double cos1, double sin1, double aor)
{
    const auto maxDegree = static_cast<std::size_t>(model.maxDegree);
    Real bpp = 0.0;
    Real arPole = aor * aor;
    for (std::size_t n = 1; n <= maxDegree; ++n) {
        arPole *= aor;
        if (n == 1)
            c.PP[1] = c.PP[0];
        else
            c.PP[n] = narrow(wide(model.recursionScale[n][1]) * wide(c.CT) * wide(c.PP[n - 1])
                             - wide(model.legendreFactor[n][1]) * wide(c.PP[n - 2]));
        const Real t2 = wide(tc[1][n]) * sin1 - wide(tc[n][0]) * cos1;
        bpp += wide(model.orderFactor[1]) * t2 * arPole * wide(c.PP[n]);
    }
    return bpp;
}

}  // namespace tellurim
