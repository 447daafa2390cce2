#include "workspace/FieldTable.h"

#include "record/NumberText.h"

#include <algorithm>

namespace tellurim {
namespace {

constexpr FieldSpec input(Field field, std::string_view name, std::string_view label, int id,
                          FieldKind kind, double minimum, double maximum, std::string_view toolTip,
                          FieldMember member)
{
    return FieldSpec{field, name, label, id, kind, true, true, minimum, maximum, toolTip, member};
}

constexpr FieldSpec list(Field field, std::string_view name, std::string_view label, int id,
                         std::string_view toolTip, FieldMember member)
{
    return FieldSpec{field, name, label, id, FieldKind::List, true, false, 0.0, 0.0, toolTip, member};
}

constexpr FieldSpec result(Field field, std::string_view name, std::string_view label, int id,
                           std::string_view toolTip, float FieldResult::*member)
{
    return FieldSpec{field, name, label, id, FieldKind::Single, false, false, 0.0, 0.0, toolTip, member};
}

constexpr FieldSpec text(Field field, std::string_view name, std::string_view label, int id,
                         bool editable, std::string_view toolTip, FieldMember member)
{
    return FieldSpec{field, name, label, id, FieldKind::Text, editable, false, 0.0, 0.0, toolTip, member};
}

using K = FieldKind;
using L = LocationRecord;
using R = FieldResult;

constexpr std::array<FieldSpec, kFieldCount> kFields{{
    input(Field::DLAT, "DLAT", "Decimal latitude", 1004, K::Single, 0, 90,
         "Latitude in decimal degrees.", &L::DLAT),
    input(Field::ILATD, "ILATD", "Latitude degrees", 1000, K::Integer, 0, 90,
         "Degrees component of current Latitude", &L::ILATD),
    input(Field::ILATM, "ILATM", "Latitude minutes", 1001, K::Integer, 0, 60,
         "Minutes component of current Latitude", &L::ILATM),
    input(Field::XLATS, "XLATS", "Latitude seconds", 1003, K::Single, 0, 60,
         "Seconds component of current Latitude", &L::XLATS),
    input(Field::DLON, "DLON", "Decimal longitude", 1008, K::Single, 0, 180,
         "Longitude in decimal degrees", &L::DLON),
    input(Field::ILONM, "ILONM", "Longitude minutes", 1006, K::Integer, 0, 60,
         "Minutes component of current Longitude", &L::ILONM),
    input(Field::ILOND, "ILOND", "Longitude degrees", 1005, K::Integer, 0, 180,
         "Degrees component of current Longitude", &L::ILOND),
    input(Field::XLONS, "XLONS", "Longitude seconds", 1007, K::Single, 0, 60,
         "Seconds component of current Longitude", &L::XLONS),
    input(Field::ALTF, "ALTF", "Elevation in feet", 1009, K::Single, -600, 3000000,
         "Desired Elevation in feet", &L::ALTF),
    input(Field::ALTM, "ALTM", "Elevation in metres", 1010, K::Single, -200, 1000000,
         "Desired Elevation in meters", &L::ALTM),
    input(Field::IDAY, "IDAY", "Day", 1012, K::Integer, 1, 31,
         "Desired day of the month.", &L::IDAY),
    input(Field::IMONTH, "IMONTH", "Month", 1011, K::Integer, 1, 12,
         "Desired month of the year", &L::IMONTH),
    input(Field::IYR, "IYR", "Year", 1013, K::Integer, 1000, 3000, "Desired year.", &L::IYR),
    input(Field::DDATE, "DDATE", "Decimal date", 1014, K::Single, 1000, 3000,
         "Desired time in decimal years", &L::DDATE),
    list(Field::IHEM_NS, "IHEM_NS", "Latitude hemisphere", 1023,
         "north or south hemisphere.", &L::IHEM_NS),
    list(Field::JHEM_EW, "JHEM_EW", "Longitude hemisphere", 1024,
         "East or west hemisphere.", &L::JHEM_EW),
    result(Field::BH2, "BH2", "Horizontal field variation", 1040,
         "Rate of change of Horizontal Field", &R::BH2),
    result(Field::BH, "BH", "Horizontal field", 1036, "Horizontal magnetic field in nT", &R::BH),
    result(Field::BX, "BX", "X component", 1033,
         "x-Component of Horizontal magnetic field in nT", &R::BX),
    result(Field::BX2, "BX2", "X component variation", 1037,
         "Rate of change of x-component", &R::BX2),
    result(Field::BY, "BY", "Y component", 1034,
         "y-Component of Horizontal magnetic field in nT", &R::BY),
    result(Field::BY2, "BY2", "Y component variation", 1038,
         "Rate of change of y-component", &R::BY2),
    result(Field::BZ, "BZ", "Z component", 1035, "Vertical magnetic field in nT", &R::BZ),
    result(Field::BZ2, "BZ2", "Z component variation", 1039,
         "Rate of change of vertical component", &R::BZ2),
    result(Field::DEC, "DEC", "Declination", 1029,
         "Declination of field, degrees east of north", &R::DEC),
    result(Field::DEC2, "DEC2", "Declination variation", 1032,
         "Rate of change of Declination", &R::DEC2),
    result(Field::DIP, "DIP", "Dip", 1028, "Inclination of magnetic field", &R::DIP),
    result(Field::DIP2, "DIP2", "Dip variation", 1031, "Rate of change of inclination", &R::DIP2),
    result(Field::TI, "TI", "Incident field", 1027, "Total incident Magnetic field in nT.", &R::TI),
    result(Field::TI2, "TI2", "Incident field variation", 1030,
         "Rate of change of magnetic field strength", &R::TI2),
    text(Field::FILENAME, "FILENAME", "Model file", 1041, false,
         "Name of model file currently loaded into memory (if any)", &L::FILENAME),
    text(Field::Location, "Location", "Location", 1049, true,
         "Name of location of coordinates. Used as file name with extension LOC.", &L::Location),
    text(Field::CVALIDITY, "CVALIDITY", "Validity of results", 1042, false,
         "Denotes if time and location are valid for current model.", &ResultTexts::CVALIDITY),
    text(Field::CPOLAR2, "CPOLAR2", "Polar grid variation change", 1046, false,
         "for Latitude>55\u00B0, rate of change of polar grid variation", &ResultTexts::CPOLAR2),
    text(Field::CPOLAR1, "CPOLAR1", "Polar grid variation", 1045, false,
         "for Latitude>55\u00B0, Declination adjusted for Longitude", &ResultTexts::CPOLAR1),
}};

constexpr Field kTabOrder[] = {
    Field::Location, Field::ILATD, Field::ILATM, Field::XLATS, Field::DLAT, Field::IHEM_NS,
    Field::ILOND, Field::ILONM, Field::XLONS, Field::DLON, Field::JHEM_EW,
    Field::ALTF, Field::ALTM, Field::IMONTH, Field::IDAY, Field::IYR, Field::DDATE,
};

constexpr ButtonSpec kButtons[] = {
    {Command::ShowPoles, "ShowPoles", 1066, "Show &Location of Poles for this Date",
     "Calculates and displays pole locations for this date"},
    {Command::NewModel, "NewModel", 1043, "&New Model", "Open a new magnetic model file and load it."},
    {Command::SaveLocation, "SaveLocation", 1050, "&Save Location",
     "Saves data using current location as file name (.LOC)"},
    {Command::GetLocation, "GetLocation", 1051, "&Get Location",
     "Loads data previously stored in LOC file using Save Location"},
    {Command::PrintLocation, "PrintLocation", 1052, "&Print Location",
     "Produces printout of current data to printer or file."},
    {Command::ExportLocation, "ExportLocation", 1054, "&Export Location", "Exports data to CSV file"},
    {Command::MakeGrid, "MakeGrid", 1060, "&Make Grid", "Allows you to export a grid of data in CSV file"},
    {Command::Recalc, "Recalc", 1048, "&Recalc", "Recalculates field values for current data"},
    {Command::About, "About", 1044, "&About ", "Shows the program's version, credits and rights notice."},
    {Command::Help, "Help", 1047, "&Help", "Gives description of model file names and their meanings."},
    {Command::Close, "Close", 2, "&Close", "Close Tellurim"},
};

// The table is indexed by Field; a row out of place would bind the wrong member.
constexpr bool tableInFieldOrder()
{
    for (std::size_t i = 0; i < kFields.size(); ++i)
        if (static_cast<std::size_t>(kFields[i].field) != i)
            return false;
    return true;
}
static_assert(tableInFieldOrder());

// Each row's member has the type its kind exchanges.
constexpr bool membersMatchKinds()
{
    for (const FieldSpec& spec : kFields) {
        const FieldMember& m = spec.member;
        const bool single = std::holds_alternative<float L::*>(m) || std::holds_alternative<float R::*>(m);
        const bool integer = std::holds_alternative<int32_t L::*>(m);
        const bool text = std::holds_alternative<std::string L::*>(m) ||
                          std::holds_alternative<std::string ResultTexts::*>(m);
        const bool fits = spec.kind == K::Single ? single : spec.kind == K::Text ? text : integer;
        if (!fits)
            return false;
    }
    return true;
}
static_assert(membersMatchKinds());

constexpr bool buttonsInCommandOrder()
{
    for (std::size_t i = 0; i < std::size(kButtons); ++i)
        if (static_cast<std::size_t>(kButtons[i].command) != i)
            return false;
    return true;
}
static_assert(buttonsInCommandOrder());

// The address of a member in the state that owns it.
struct MemberAddress {
    const FieldMembers& members;

    template <class T>
    std::variant<float*, int32_t*, std::string*> operator()(T L::*member) const
    {
        return &(members.record.*member);
    }
    std::variant<float*, int32_t*, std::string*> operator()(float R::*member) const
    {
        return &(members.results.*member);
    }
    std::variant<float*, int32_t*, std::string*> operator()(std::string ResultTexts::*member) const
    {
        return &(members.texts.*member);
    }
};

}  // namespace

template <class T>
T& fieldMember(const FieldSpec& spec, const FieldMembers& members)
{
    return *std::get<T*>(std::visit(MemberAddress{members}, spec.member));
}
template float& fieldMember<float>(const FieldSpec&, const FieldMembers&);
template int32_t& fieldMember<int32_t>(const FieldSpec&, const FieldMembers&);
template std::string& fieldMember<std::string>(const FieldSpec&, const FieldMembers&);

const std::array<FieldSpec, kFieldCount>& fieldTable()
{
    return kFields;
}

const FieldSpec& fieldSpec(Field field)
{
    return kFields[static_cast<std::size_t>(field)];
}

std::optional<Field> fieldByName(std::string_view name)
{
    for (const FieldSpec& spec : kFields)
        if (spec.name == name)
            return spec.field;
    return std::nullopt;
}

bool fieldAccepts(const FieldSpec& spec, double value)
{
    if (spec.kind == FieldKind::List) {
        return value == 0.0 || value == 1.0;
    }
    if (!spec.hasRange) {
        return value == value;
    }
    if (spec.kind == FieldKind::Single) {
        // Compared in single precision, as a typed value is.
        const auto single = static_cast<float>(value);
        return single >= static_cast<float>(spec.minimum) && single <= static_cast<float>(spec.maximum);
    }
    return value >= spec.minimum && value <= spec.maximum;
}

std::optional<Field> firstFieldOutOfRange(const LocationRecord& record)
{
    for (const FieldSpec& spec : kFields) {
        if (!spec.editable || spec.field == Field::DDATE) {
            continue;
        }
        double value = 0.0;
        if (const auto* single = std::get_if<float LocationRecord::*>(&spec.member)) {
            value = static_cast<double>(record.**single);
        } else if (const auto* integer = std::get_if<int32_t LocationRecord::*>(&spec.member)) {
            value = record.**integer;
        } else {
            continue;
        }
        if (!fieldAccepts(spec, value)) {
            return spec.field;
        }
    }
    return std::nullopt;
}

std::string widestText(const FieldSpec& spec)
{
    switch (spec.kind) {
    case FieldKind::Single: {
        // Six significant digits; floats have two-digit exponents.
        std::string text(spec.hasRange && spec.minimum >= 0 ? "" : "-");
        text.append("0.00000e-00");
        return text;
    }
    case FieldKind::Integer: {
        if (!spec.hasRange)
            return "-0000000000";
        const auto digits = [](double bound) {
            std::string text = formatInteger(static_cast<int32_t>(bound));
            std::replace_if(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }, '0');
            return text;
        };
        const std::string low = digits(spec.minimum);
        const std::string high = digits(spec.maximum);
        return low.size() > high.size() ? low : high;
    }
    case FieldKind::Text:
        // "%8.2f" of a variation within a turn either way, and of its
        // change in minutes of arc a year.
        if (spec.field == Field::CPOLAR1 || spec.field == Field::CPOLAR2)
            return "-00000.00";
        return {};
    case FieldKind::List:
        break;
    }
    return {};
}

std::span<const Field> tabOrder()
{
    return kTabOrder;
}

std::span<const ButtonSpec> buttonTable()
{
    return kButtons;
}

const ButtonSpec& buttonSpec(Command command)
{
    return kButtons[static_cast<std::size_t>(command)];
}

}  // namespace tellurim
