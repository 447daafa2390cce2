#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tellurim {

/// Highest degree and order of the classic fixed-column model files; their
/// tables are always one larger.
inline constexpr int32_t kMaxModelDegree = 12;
inline constexpr std::size_t kTableSize = 13;
/// Highest degree any model file may have (the high-resolution models reach
/// 133); a file above it is refused rather than allowed to claim memory.
inline constexpr int32_t kMaxAnyModelDegree = 300;
/// Most epochs a model given at several epochs may have (IGRF-14 has 27).
inline constexpr std::size_t kMaxModelEpochs = 100;
/// Asks loadModel for every degree the file holds.
inline constexpr int32_t kAllDegrees = kMaxAnyModelDegree;

/// Where and why a model file could not be loaded: the line (counted from 1;
/// 0 when the file as a whole is at fault) and a short lower-case reason.
/// notFound: no file of that name opened at all (as against a file that was
/// found but could not be read).
struct ModelReadProblem {
    std::uint64_t line = 0;
    std::string reason;
    bool notFound = false;
};

/// A square table of single-precision values indexed [row][column], its size
/// chosen when a model is loaded (13 x 13 for a degree-12 model).
class CoefficientTable {
public:
    CoefficientTable() = default;
    explicit CoefficientTable(std::size_t size) : m_size(size), m_values(size * size, 0.0f) {}

    std::size_t size() const { return m_size; }
    float* operator[](std::size_t row) { return m_values.data() + row * m_size; }
    const float* operator[](std::size_t row) const { return m_values.data() + row * m_size; }
    bool operator==(const CoefficientTable& other) const = default;

private:
    std::size_t m_size = 0;
    std::vector<float> m_values;
};

/// One single-precision value per degree or order, 0 to the model's degree.
using DegreeTable = std::vector<float>;

/// The tables the Legendre recursion and the order sums take for a model
/// of some degree (see ModelFile for the scales above degree 12).
struct RecursionTables {
    CoefficientTable legendreFactor;  ///< recursion factor K(n,m) at [n][m], scale included
    /// [n][m]: 2^(E(n,m) - E(n-1,m)) for m < n, 2^(E(n,n) - E(n-1,n-1)) for m = n.
    CoefficientTable recursionScale;
    DegreeTable degreeFactor;  ///< entry n holds n + 1 (entry 0 holds 0)
    DegreeTable orderFactor;   ///< entry m holds m
};

/// The recursion tables of a model of the given degree, in tables of
/// tableSize (at least degree + 1) rows and columns.
RecursionTables recursionTables(std::size_t degree, std::size_t tableSize);

/// Coefficients of one epoch of a model given at several epochs, packed and
/// unnormalised like ModelFile::gh. ghRate runs linearly to the next epoch.
struct EpochCoefficients {
    float epoch = 0.0f;
    CoefficientTable gh;
    CoefficientTable ghRate;
    std::vector<float> ghPairs;    ///< gh as (g, h) pairs, see ModelFile::ghPairs
    std::vector<float> ratePairs;  ///< ghRate the same way
};

/// Where order m starts in a list of (g, h) pairs of a model of degree
/// maxDegree laid out by order and then degree: order m holds degrees m to
/// maxDegree (h(n,0) = 0).
inline std::size_t orderIndex(std::size_t m, std::size_t maxDegree)
{
    return m * (maxDegree + 1) - (m == 0 ? 0 : m * (m - 1) / 2);
}

/// The content of a model file as read, then converted for the synthesis
/// (convertToUnnormalised); ModelFile is built from it.
///
/// g(n,m) is stored at gh[m][n] (on or above the diagonal) and h(n,m) at
/// gh[n][m-1] (below it); ghRate is packed the same way. After loading, both
/// hold unnormalised values: the Schmidt semi-normalised file values times the
/// Schmidt factor, so the synthesis needs no normalisation per term.
///
/// Above degree 12 the Schmidt factors outgrow single precision (about 2^n
/// for m = 0) while the Legendre functions shrink by as much. There each
/// (n, m) carries an exact power-of-two scale 2^E: the coefficients are
/// stored times 2^-E and the Legendre functions times 2^E, so every product
/// is unchanged. recursionScale holds the factors the recursion steps take
/// from one degree to the next; they are exactly 1 up to degree 12.
struct ModelFile {
    float epoch = 0.0f;       ///< decimal year of the coefficients (the first epoch)
    std::string modelName;    ///< 20 characters from the header, blank-padded
    float lifeSpan = 5.0f;    ///< years after the epoch during which the model is valid
    float latMin = 0.0f;      ///< southern bound, degrees; 0 means no latitude bounds
    float latMax = 0.0f;      ///< northern bound, degrees; 0 means no latitude bounds
    float lonMin = 0.0f;      ///< western bound, degrees; 0 means no longitude bounds
    float lonMax = 0.0f;      ///< eastern bound, degrees; 0 means no longitude bounds
    int32_t maxDegree = 0;    ///< highest degree the synthesis sums
    /// Highest degree whose coefficients change with time (maxDegree for a
    /// model given at several epochs): above it the coefficients at any time
    /// are those of the epoch.
    int32_t rateDegree = 0;
    CoefficientTable gh;              ///< main field g and h, nT
    CoefficientTable ghRate;          ///< secular variation of g and h, nT per year
    /// gh and ghRate again, unnormalised and scaled alike, as (g, h) pairs
    /// by order and then degree (see orderIndex), the synthesis's layout.
    std::vector<float> ghPairs;
    std::vector<float> ratePairs;
    CoefficientTable legendreFactor;  ///< recursion factor K(n,m) at [n][m], scale included
    /// [n][m]: 2^(E(n,m) - E(n-1,m)) for m < n, 2^(E(n,n) - E(n-1,n-1)) for m = n.
    CoefficientTable recursionScale;
    DegreeTable degreeFactor;         ///< entry n holds n + 1 (entry 0 holds 0)
    DegreeTable orderFactor;          ///< entry m holds m
    /// Further epochs of a model given at several (IGRF): from each epoch
    /// on, its coefficients replace gh and ghRate. Empty for a one-epoch model.
    std::vector<EpochCoefficients> laterEpochs;

    /// Empty tables of size n + 1 for a model of degree n.
    void resize(std::size_t tableSize);
    std::size_t tableSize() const { return gh.size(); }
};

}  // namespace tellurim
