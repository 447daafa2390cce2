#include "engine/FieldSums.h"

#include "engine/EngineConstants.h"
#include "engine/HistoryModel.h"

#include <algorithm>
#include <cmath>

namespace tellurim {

// Compiled twice, for AVX2 and for the x86-64 baseline, the better chosen
// when the program starts: the same operations either way, so the same bits.
#if defined(__x86_64__) && defined(__GNUC__)
#define TELLURIM_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define TELLURIM_VECTOR_CLONES
#endif

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
    const std::vector<float>* gh;
    const std::vector<float>* ghRate;
    float dt;
};

EpochInForce epochInForce(const MagneticModel& model, float time, float dt)
{
    EpochInForce inForce{&model.ghPairs, &model.ratePairs, dt};
    for (const EpochCoefficients& later : model.laterEpochs) {
        if (!(time >= later.epoch))
            break;
        inForce = {&later.ghPairs, &later.ratePairs, time - later.epoch};
    }
    return inForce;
}

// A coefficient pair (g, h), or a pair of sums, side by side.
using Pair = double __attribute__((vector_size(16)));

// The weights of the order sums at the cached position.
TELLURIM_VECTOR_CLONES
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

// The coefficients at a time from those of the epoch in force and their rates.
TELLURIM_VECTOR_CLONES
void updateCoefficients(float* tc, const float* gh, const float* rate, Real years, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        tc[i] = narrow(wide(gh[i]) + years * wide(rate[i]));
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
    float* tc = c.TC[other].data();
    if (model.history) {
        historyPairsAt(model, wide(time), tc);
        c.TCTime[other] = time;
        c.orderSums[other].valid = false;
        return other;
    }
    const EpochInForce inForce = epochInForce(model, time, dt);
    const float* gh = inForce.gh->data();
    const float* rate = inForce.ghRate->data();
    const Real years = wide(inForce.dt);
    // Every g and h up to the changing degree; beyond it the slots keep the
    // epoch's coefficients they were given at the load.
    const auto maxDegree = static_cast<std::size_t>(model.maxDegree);
    const auto last = static_cast<std::size_t>(std::min(model.rateDegree, model.maxDegree));
    const auto update = [&](std::size_t first, std::size_t end) {
        updateCoefficients(tc + first, gh + first, rate + first, years, end - first);
    };
    if (last == maxDegree) {
        update(0, 2 * orderIndex(maxDegree + 1, maxDegree));  // all in one run
    } else {
        for (std::size_t m = 0; m <= last; ++m) {
            const std::size_t first = 2 * orderIndex(m, maxDegree);
            update(first, first + 2 * (last - m + 1));
        }
    }
    c.TCTime[other] = time;
    c.orderSums[other].valid = false;
    return other;
}

TELLURIM_VECTOR_CLONES
void formOrderSums(const MagneticModel& model, SynthesisCache& c, std::size_t slot)
{
    OrderSums& sums = c.orderSums[slot];
    if (sums.valid)
        return;
    const auto maxDegree = static_cast<std::size_t>(model.maxDegree);
    if (!c.weightsValid)
        formWeights(model, c, maxDegree);
    sums.aor = wide(kReferenceRadius) / wide(c.R);
    const float* pairs = c.TC[slot].data();
    const double* weights = c.weights.data();
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
void sumLanes(const OrderSums& sums, const SynthesisCache& c, std::size_t maxDegree, LaneField& field)
{
    const double* cosm = c.laneCos.data();
    const double* sinm = c.laneSin.data();
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

template void longitudeLanes<1>(const float*, std::size_t, SynthesisCache&);
template void longitudeLanes<kLongitudeLanes>(const float*, std::size_t, SynthesisCache&);
template void sumLanes<1>(const OrderSums&, const SynthesisCache&, std::size_t, LaneField&);
template void sumLanes<kLongitudeLanes>(const OrderSums&, const SynthesisCache&, std::size_t, LaneField&);

double poleEastComponent(const MagneticModel& model, SynthesisCache& c, const std::vector<float>& tc,
                         double cos1, double sin1, double aor)
{
    const auto maxDegree = static_cast<std::size_t>(model.maxDegree);
    // g(n,1) and h(n,1) from n = 1 on.
    const float* order1 = tc.data() + 2 * orderIndex(1, maxDegree);
    Real bpp = 0.0;
    Real arPole = aor * aor;
    for (std::size_t n = 1; n <= maxDegree; ++n) {
        arPole *= aor;
        if (n == 1)
            c.PP[1] = c.PP[0];
        else
            c.PP[n] = narrow(wide(model.recursionScale[n][1]) * wide(c.CT) * wide(c.PP[n - 1])
                             - wide(model.legendreFactor[n][1]) * wide(c.PP[n - 2]));
        const Real t2 = wide(order1[2 * (n - 1)]) * sin1 - wide(order1[2 * (n - 1) + 1]) * cos1;
        bpp += wide(model.orderFactor[1]) * t2 * arPole * wide(c.PP[n]);
    }
    return bpp;
}

}  // namespace tellurim
