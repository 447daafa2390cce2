#pragma once

#include "engine/FieldResult.h"
#include "record/LocationRecord.h"
#include "record/ResultTexts.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace tellurim {

/// Every control of the main window that exchanges a value with the
/// workspace, in exchange order: take and show walk the fields in this order,
/// so a failed take leaves the members before the offending one updated.
enum class Field {
    DLAT, ILATD, ILATM, XLATS,
    DLON, ILONM, ILOND, XLONS,
    ALTF, ALTM,
    IDAY, IMONTH, IYR, DDATE,
    IHEM_NS, JHEM_EW,
    BH2, BH, BX, BX2, BY, BY2, BZ, BZ2, DEC, DEC2, DIP, DIP2, TI, TI2,
    FILENAME, Location, CVALIDITY, CPOLAR2, CPOLAR1,
};
inline constexpr std::size_t kFieldCount = static_cast<std::size_t>(Field::CPOLAR1) + 1;

enum class FieldKind {
    Single,   ///< 32-bit real, shown with six significant digits
    Integer,  ///< 32-bit signed whole number
    Text,     ///< text copied as it stands
    List,     ///< drop-down list; the value is the selected index
};

/// The member a field exchanges its value with: in the location, in the
/// results of its last calculation or in their display texts.
using FieldMember = std::variant<float LocationRecord::*, int32_t LocationRecord::*,
                                 std::string LocationRecord::*, float FieldResult::*,
                                 std::string ResultTexts::*>;

/// The state the fields exchange with.
struct FieldMembers {
    LocationRecord& record;
    FieldResult& results;
    ResultTexts& texts;
};

/// One row of the field table: what a control holds and how it is checked.
struct FieldSpec {
    Field field;
    std::string_view name;   ///< member name; also the widget's object name
    std::string_view label;  ///< what the control is called, for screen readers
    int controlId;           ///< the historic control number
    FieldKind kind;
    bool editable;           ///< false for the read-only result fields
    bool hasRange;
    double minimum;          ///< inclusive, when hasRange
    double maximum;          ///< inclusive, when hasRange
    std::string_view toolTip;
    FieldMember member;
};

/// The member of the field's row in the given state; T is float for Single,
/// int32_t for Integer and List, std::string for Text.
template <class T>
T& fieldMember(const FieldSpec& spec, const FieldMembers& members);
extern template float& fieldMember<float>(const FieldSpec&, const FieldMembers&);
extern template int32_t& fieldMember<int32_t>(const FieldSpec&, const FieldMembers&);
extern template std::string& fieldMember<std::string>(const FieldSpec&, const FieldMembers&);

/// The rows of every field in exchange order; row i describes Field i.
const std::array<FieldSpec, kFieldCount>& fieldTable();
const FieldSpec& fieldSpec(Field field);
std::optional<Field> fieldByName(std::string_view name);

/// Whether the field takes this value: inside its range when it has one,
/// 0 or 1 for a list; never a value that is not a number.
bool fieldAccepts(const FieldSpec& spec, double value);

/// The first stored number of the location (angles, elevations, date and
/// hemispheres; DDATE is derived) that its field would refuse if typed:
/// values read from a file pass the same checks. Nothing when all pass.
std::optional<Field> firstFieldOutOfRange(const LocationRecord& record);

/// The widest text the field's control must show whole, with '0' standing
/// for every digit; empty for a list and for the texts of any length.
std::string widestText(const FieldSpec& spec);

/// The keyboard tab order of the editable fields and the two lists.
std::span<const Field> tabOrder();

/// The main window's buttons.
enum class Command {
    ShowPoles, NewModel,
    SaveLocation, GetLocation, PrintLocation, ExportLocation, MakeGrid,
    Recalc, About, Help, Close,
};

struct ButtonSpec {
    Command command;
    std::string_view name;   ///< the widget's object name
    int controlId;
    std::string_view text;   ///< caption, '&' marks the mnemonic
    std::string_view toolTip;
};

/// Buttons row by row, left to right.
std::span<const ButtonSpec> buttonTable();
const ButtonSpec& buttonSpec(Command command);

}  // namespace tellurim
