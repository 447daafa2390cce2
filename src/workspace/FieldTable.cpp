#include "workspace/FieldTable.h"

namespace tellurim {
namespace {

constexpr FieldSpec input(Field field, std::string_view name, int id, FieldKind kind, double minimum,
                          double maximum, std::string_view toolTip)
{
    return FieldSpec{field, name, id, kind, true, true, minimum, maximum, toolTip};
}

constexpr FieldSpec list(Field field, std::string_view name, int id, std::string_view toolTip)
{
    return FieldSpec{field, name, id, FieldKind::List, true, false, 0.0, 0.0, toolTip};
}

constexpr FieldSpec result(Field field, std::string_view name, int id, std::string_view toolTip)
{
    return FieldSpec{field, name, id, FieldKind::Single, false, false, 0.0, 0.0, toolTip};
}

constexpr FieldSpec text(Field field, std::string_view name, int id, bool editable,
                         std::string_view toolTip)
{
    return FieldSpec{field, name, id, FieldKind::Text, editable, false, 0.0, 0.0, toolTip};
}

using K = FieldKind;

constexpr std::array<FieldSpec, kFieldCount> kFields{{
    input(Field::DLAT, "DLAT", 1004, K::Single, 0, 90, "Latitude in decimal degrees."),
    input(Field::ILATD, "ILATD", 1000, K::Integer, 0, 90, "Degrees component of current Latitude"),
    input(Field::ILATM, "ILATM", 1001, K::Integer, 0, 60, "Minutes component of current Latitude"),
    input(Field::XLATS, "XLATS", 1003, K::Single, 0, 60, "Seconds component of current Latitude"),
    input(Field::DLON, "DLON", 1008, K::Single, 0, 180, "Longitude in decimal degrees"),
    input(Field::ILONM, "ILONM", 1006, K::Integer, 0, 60, "Minutes component of current Longitude"),
    input(Field::ILOND, "ILOND", 1005, K::Integer, 0, 180, "Degrees component of current Longitude"),
    input(Field::XLONS, "XLONS", 1007, K::Single, 0, 60, "Seconds component of current Longitude"),
    input(Field::ALTF, "ALTF", 1009, K::Single, -600, 3000000, "Desired Elevation in feet"),
    input(Field::ALTM, "ALTM", 1010, K::Single, -200, 1000000, "Desired Elevation in meters"),
    input(Field::IDAY, "IDAY", 1012, K::Integer, 1, 31, "Desired day of the month."),
    input(Field::IMONTH, "IMONTH", 1011, K::Integer, 1, 12, "Desired month of the year"),
    input(Field::IYR, "IYR", 1013, K::Integer, 1000, 3000, "Desired year."),
    input(Field::DDATE, "DDATE", 1014, K::Single, 1000, 3000, "Desired time in decimal years"),
    list(Field::IHEM_NS, "IHEM_NS", 1023, "north or south hemisphere."),
    list(Field::JHEM_EW, "JHEM_EW", 1024, "East or west hemisphere."),
    result(Field::BH2, "BH2", 1040, "Rate of change of Horizontal Field"),
    result(Field::BH, "BH", 1036, "Horizontal magnetic field in nT"),
    result(Field::BX, "BX", 1033, "x-Component of Horizontal magnetic field in nT"),
    result(Field::BX2, "BX2", 1037, "Rate of change of x-component"),
    result(Field::BY, "BY", 1034, "y-Component of Horizontal magnetic field in nT"),
    result(Field::BY2, "BY2", 1038, "Rate of change of y-component"),
    result(Field::BZ, "BZ", 1035, "Vertical magnetic field in nT"),
    result(Field::BZ2, "BZ2", 1039, "Rate of change of vertical component"),
    result(Field::DEC, "DEC", 1029, "Declination of field, degrees east of north"),
    result(Field::DEC2, "DEC2", 1032, "Rate of change of Declination"),
    result(Field::DIP, "DIP", 1028, "Inclination of magnetic field"),
    result(Field::DIP2, "DIP2", 1031, "Rate of change of inclination"),
    result(Field::TI, "TI", 1027, "Total incident Magnetic field in nT."),
    result(Field::TI2, "TI2", 1030, "Rate of change of magnetic field strength"),
    text(Field::FILENAME, "FILENAME", 1041, false,
         "Name of model file currently loaded into memory (if any)"),
    text(Field::Location, "Location", 1049, true,
         "Name of location of coordinates. Used as file name with extension LOC."),
    text(Field::CVALIDITY, "CVALIDITY", 1042, false,
         "Denotes if time and location are valid for current model."),
    text(Field::CPOLAR2, "CPOLAR2", 1046, false,
         "for Latitude>55\u00B0, rate of change of polar grid variation"),
    text(Field::CPOLAR1, "CPOLAR1", 1045, false,
         "for Latitude>55\u00B0, Declination adjusted for Longitude"),
}};

constexpr Field kTabOrder[] = {
    Field::Location, Field::ILATD, Field::ILATM, Field::XLATS, Field::DLAT, Field::IHEM_NS,
    Field::ILOND, Field::ILONM, Field::XLONS, Field::DLON, Field::JHEM_EW,
    Field::ALTF, Field::ALTM, Field::IMONTH, Field::IDAY, Field::IYR, Field::DDATE,
};

constexpr ButtonSpec kButtons[] = {
    {Command::ShowPoles, "ShowPoles", 1066, "Show Location of Poles for this Date",
     "Calculates and displays pole locations for this date"},
    {Command::NewModel, "NewModel", 1043, "&New Model", "Open a new magnetic model file and load it."},
    {Command::SaveLocation, "SaveLocation", 1050, "&Save Location",
     "Saves data using current location as file name (.LOC)"},
    {Command::GetLocation, "GetLocation", 1051, "&Get Location",
     "Loads data previously stored in LOC file using Save Location"},
    {Command::PrintLocation, "PrintLocation", 1052, "&Print Location",
     "Produces printout of current data to printer or file."},
    {Command::ExportLocation, "ExportLocation", 1054, "&Export Location", "Exports data to CSV file"},
    {Command::MakeGrid, "MakeGrid", 1060, "Make Grid", "Allows you to export a grid of data in CSV file"},
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

constexpr bool buttonsInCommandOrder()
{
    for (std::size_t i = 0; i < std::size(kButtons); ++i)
        if (static_cast<std::size_t>(kButtons[i].command) != i)
            return false;
    return true;
}
static_assert(buttonsInCommandOrder());

}  // namespace

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
