#pragma once

#include "engine/ModelFile.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tellurim {

/// The lines of a model file, one at a time, without their line ends.
class ModelLines {
public:
    virtual ~ModelLines() = default;
    /// False at the end of the file, or when reading stopped (problem() then
    /// holds why).
    virtual bool next(std::string& line) = 0;
    /// Lines handed out so far.
    virtual std::uint64_t lineNumber() const = 0;
    /// Why reading stopped early; empty reason at a plain end of file.
    virtual ModelReadProblem problem() const = 0;
};

/// Model epochs and life spans are years within this bound: beyond it
/// single precision no longer tells the years apart (and 1e39 is no number).
inline constexpr double kMaxModelYear = 10000.0;

/// Whether a model epoch or span read from a file is within kMaxModelYear.
inline bool isModelYear(double years)
{
    return years >= -kMaxModelYear && years <= kMaxModelYear;
}

/// The reason given for an epoch or span beyond kMaxModelYear.
inline std::string yearRangeProblem(std::string_view what)
{
    return std::string(what) + " is outside -10000 to 10000";
}

/// The layouts a model file may have. The content decides, never the name.
enum class ModelFormat {
    FixedColumn,  ///< the classic .COF: fixed columns, degree up to 12
    FreeColumn,   ///< the .COF of the high-resolution models: blank-separated fields
    Shc,          ///< IGRF's .shc: coefficients at several epochs, a column each
};

/// Tells the layout from the first two lines of a file. A .shc file starts
/// with '#' comments or with its line of seven numbers. A free-column file
/// has, in its first coefficient line, six fields whose degree and order end
/// beyond columns 3 and 6, where the fixed columns would have put them.
ModelFormat detectModelFormat(std::string_view firstLine, std::string_view secondLine);

/// Reads a free-column .COF file into model (tables sized by the degree of
/// the file, lowered to requestedDegree): Schmidt semi-normalised values, not
/// yet converted. The header holds epoch, name and release date; the life
/// span is 5 years.
std::optional<ModelReadProblem> readFreeColumnModel(ModelLines& lines, int32_t requestedDegree,
                                                    ModelFile& model);

/// Reads a .shc file: one coefficient set per epoch, linear in between, and
/// valid from the first epoch to the last. h may be written as a row of
/// negative order or as a second row of the same positive order.
std::optional<ModelReadProblem> readShcModel(ModelLines& lines, int32_t requestedDegree,
                                             ModelFile& model);

/// Converts the file values of every epoch to unnormalised form and builds
/// the recursion tables, for degrees 1 to model.maxDegree.
void convertToUnnormalised(ModelFile& model);

/// The blank-separated fields of a line.
std::vector<std::string_view> splitFields(std::string_view line);

}  // namespace tellurim
