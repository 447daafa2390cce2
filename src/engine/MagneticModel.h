#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tellurim {

/// Highest degree and order a model may have; the tables are one larger.
inline constexpr int32_t kMaxModelDegree = 12;
inline constexpr std::size_t kTableSize = 13;

/// A 13 x 13 table of single-precision values, indexed [row][column].
using CoefficientTable = std::array<std::array<float, kTableSize>, kTableSize>;
/// One single-precision value per degree or order, 0 to 12.
using DegreeTable = std::array<float, kTableSize>;

/// One spherical-harmonic main-field model, as loaded from a .COF file.
///
/// g(n,m) is stored at gh[m][n] (on or above the diagonal) and h(n,m) at
/// gh[n][m-1] (below it); ghRate is packed the same way. After loading, both
/// hold unnormalised values: the Schmidt semi-normalised file values times the
/// Schmidt factor, so the synthesis needs no normalisation per term.
struct MagneticModel {
    float epoch = 0.0f;       ///< decimal year of the coefficients
    std::string modelName;    ///< 20 characters from the header, blank-padded
    float lifeSpan = 5.0f;    ///< years after the epoch during which the model is valid
    float latMin = 0.0f;      ///< southern bound, degrees; 0 means no latitude bounds
    float latMax = 0.0f;      ///< northern bound, degrees; 0 means no latitude bounds
    float lonMin = 0.0f;      ///< western bound, degrees; 0 means no longitude bounds
    float lonMax = 0.0f;      ///< eastern bound, degrees; 0 means no longitude bounds
    int32_t maxDegree = 0;    ///< highest degree the synthesis sums, 0 to 12
    CoefficientTable gh{};              ///< main field g and h, nT
    CoefficientTable ghRate{};          ///< secular variation of g and h, nT per year
    CoefficientTable legendreFactor{};  ///< recursion factor K(n,m) at [n][m]
    DegreeTable degreeFactor{};         ///< entry n holds n + 1 (entry 0 holds 0)
    DegreeTable orderFactor{};          ///< entry m holds m
    bool isLoaded = false;              ///< a model is current and may be used
};

}  // namespace tellurim
