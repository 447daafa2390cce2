#pragma once

#include <cstddef>
#include <string>

namespace tellurim {

/// The twenty value controls of the pole window, in exchange order. Only
/// month, day and year can be edited.
enum class PoleField {
    northDecimalLatitude, southDecimalLatitude, northDecimalLongitude, southDecimalLongitude,
    northDegreesLatitude, southDegreesLatitude, northMinutesLatitude, southMinutesLatitude,
    northDegreesLongitude, southDegreesLongitude, northMinutesLongitude,
    month, day, year, decimalDate,
    northSecondsLatitude, southSecondsLatitude, northSecondsLongitude, southSecondsLongitude,
    southMinutesLongitude,
};
inline constexpr std::size_t kPoleFieldCount = static_cast<std::size_t>(PoleField::southMinutesLongitude) + 1;

inline constexpr bool isPoleDateField(PoleField field)
{
    return field == PoleField::month || field == PoleField::day || field == PoleField::year;
}

/// The pole window's controls as its logic sees them.
class PoleDialogView {
public:
    virtual ~PoleDialogView() = default;
    virtual std::string text(PoleField field) const = 0;
    virtual void setText(PoleField field, const std::string& text) = 0;
    /// Gives the keyboard focus to the field and selects its whole text.
    virtual void focusAndSelect(PoleField field) = 0;
};

/// What the pole window's controls do; the window forwards each event here.
class PoleDialogActions {
public:
    virtual ~PoleDialogActions() = default;
    /// The window opened (view set: every field is shown) or closed (null).
    virtual void attach(PoleDialogView* view) = 0;
    /// Month, day or year lost the keyboard focus.
    virtual void dateFieldLeft(PoleField field) = 0;
    /// OK: whether the window may close.
    virtual bool accept() = 0;
    virtual void print() = 0;
    virtual void exportRow() = 0;
};

}  // namespace tellurim
